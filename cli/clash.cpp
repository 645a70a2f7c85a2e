#include "cli/clash.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>

namespace tarvelo {

namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows in one name.
constexpr int kMostLinks = 40;

}  // namespace

std::string FileKeys::Key(const std::string& name) {
  // A name that exists is its file; one that does not, its place. A link
  // to no file yet is the place it points to, where a write would go.
  std::string key(1, '=');
  std::string place = name;
  struct stat st {};
  const auto inode = [&key](const struct stat& file) {
    return key.append(std::to_string(file.st_dev)).append(":").append(std::to_string(file.st_ino));
  };
  for (int hop = 0; hop < kMostLinks; ++hop) {
    // One call for a name that is no link, by far the most.
    if (::lstat(place.c_str(), &st) != 0) break;
    if (!S_ISLNK(st.st_mode) || ::stat(place.c_str(), &st) == 0) return inode(st);
    std::array<char, 4096> target{};
    const ssize_t length = ::readlink(place.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) == target.size()) break;
    const std::string to(target.data(), static_cast<std::size_t>(length));
    place = to.front() == '/' ? to : (fs::path(place).parent_path() / to).string();
  }
  key[0] = '~';
  const fs::path path(place);
  const fs::path file = path.filename();
  if (file.empty() || file == "." || file == "..") {
    std::error_code ec;
    return key.append(fs::weakly_canonical(path, ec).string());
  }
  return key.append((fs::path(ResolvedDirectory(path.parent_path().string())) / file).string());
}

// A directory as written resolves as the kernel resolves it: its links
// followed, as far as it exists, before any ".." is taken back.
std::string FileKeys::ResolvedDirectory(const std::string& directory) {
  if (const auto known = directories_.find(directory); known != directories_.end()) return known->second;
  if (!cwd_) {
    std::error_code ec;
    cwd_ = fs::current_path(ec).string();
  }
  const fs::path given(directory);
  const fs::path absolute = given.is_absolute() ? given : fs::path(*cwd_) / given;
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(absolute, ec);
  if (ec) resolved = absolute.lexically_normal();
  return directories_.emplace(directory, resolved.string()).first->second;
}

std::optional<std::string> FirstClash(const std::vector<Planned>& plan) {
  FileKeys keys;
  // The first entry that reads each file, and the first that writes each.
  std::unordered_map<std::string, std::size_t> read;
  read.reserve(plan.size());
  for (std::size_t i = 0; i < plan.size(); ++i)
    if (plan[i].reads_input && plan[i].input != kStandardStream) read.emplace(keys.Key(plan[i].input), i);
  std::unordered_map<std::string, std::size_t> written;
  written.reserve(plan.size() * (plan.empty() ? 0 : plan.front().outputs.size()));
  for (std::size_t i = 0; i < plan.size(); ++i) {
    for (const std::string& out : plan[i].outputs) {
      if (out == kStandardStream) continue;
      const std::string key = keys.Key(out);
      if (const auto input = read.find(key); input != read.end())
        return input->second == i ? out + ": output file is the input file"
                                  : out + " would replace the input " + plan[input->second].input +
                                        " (written for " + plan[i].input + ")";
      const auto [earlier, first] = written.emplace(key, i);
      if (!first)
        return earlier->second == i ? out + " would be written twice for " + plan[i].input
                                    : plan[earlier->second].input + " and " + plan[i].input +
                                          " would both write " + out;
    }
  }
  return std::nullopt;
}

}  // namespace tarvelo
