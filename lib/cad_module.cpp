// Finding and loading the CAD module. Nothing is kept between calls: dlopen
// of a module already loaded only counts it once more, and RTLD_NODELETE
// keeps it loaded after dlclose, so each call opens it again.
#include "lib/cad_module.h"

#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <vector>

namespace tarvelo {

namespace fs = std::filesystem;

namespace {

// The file of the program or shared object this code was linked into: the
// program itself, or the Python module.
fs::path OwnObject() {
  Dl_info info;
  link_map* map = nullptr;
  if (dladdr1(reinterpret_cast<void*>(&OwnObject), &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) != 0 &&
      map != nullptr && map->l_name != nullptr && map->l_name[0] != '\0')
    return map->l_name;
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec);
}

bool Inside(const fs::path& file, const fs::path& dir) {
  std::error_code ec;
  const fs::path f = fs::weakly_canonical(file, ec), d = fs::weakly_canonical(dir, ec);
  const auto [end, at] = std::mismatch(d.begin(), d.end(), f.begin(), f.end());
  return end == d.end();
}

// Where the module may be, in the order tried: where the installation puts
// it beside the program or the Python module, then this build tree's for
// what is built and run here, then the configured installation's.
std::vector<fs::path> Candidates() {
  const fs::path own = OwnObject();
  const fs::path dir = own.parent_path();
  std::vector<fs::path> places = {(dir / TARVELO_CAD_FROM_PROGRAMS).lexically_normal(),
                                   (dir / TARVELO_CAD_FROM_PYTHON).lexically_normal()};
  if (Inside(own, TARVELO_CAD_BUILD_TREE)) places.push_back(TARVELO_CAD_BUILD_MODULE);
  places.push_back(TARVELO_CAD_INSTALLED);
  return places;
}

// The module opened and closed again, its entry point valid meanwhile.
class Module {
 public:
  Module() {
    const std::vector<fs::path> places = Candidates();
    std::error_code ec;
    for (const fs::path& place : places) {
      if (!fs::exists(place, ec)) continue;
      handle_ = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
      if (handle_ == nullptr)
        throw Error(ErrorKind::NotReadable, place.string(), std::string("the CAD module does not load: ") + dlerror());
      run_ = reinterpret_cast<cad::Run>(dlsym(handle_, cad::kEntryPoint));
      if (run_ == nullptr) throw Error(ErrorKind::NotReadable, place.string(), "the file is not the CAD module");
      return;
    }
    throw Error(ErrorKind::NotFound, places.front().string(), "the CAD module is not installed");
  }
  ~Module() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  cad::Run run() const { return run_; }

 private:
  void* handle_ = nullptr;
  cad::Run run_ = nullptr;
};

}  // namespace

cad::Result RunCad(const cad::Request& request, const std::string& subject) {
  const Module module;
  cad::Result result;
  module.run()(request, result);
  if (!result.ok) throw Error(ErrorKind::BadData, subject, result.reason);
  return result;
}

cad::Unit CadUnit(LengthUnit unit) {
  switch (unit) {
    case LengthUnit::Centimetre: return cad::Unit::Centimetre;
    case LengthUnit::Metre: return cad::Unit::Metre;
    case LengthUnit::Inch: return cad::Unit::Inch;
    default: return cad::Unit::Millimetre;
  }
}

}  // namespace tarvelo
