# Sourced by ./run and ./test: installs the Debian packages that are missing,
# without asking, and does nothing when all are there.
ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing ${missing[*]} ..."
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# A locale with a decimal comma, so the tests can show that files and screens
# keep the point whatever the user's locale.
ensure_comma_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || true
}

# What ./run needs to build and package; README.md says why each is there.
TARVELO_PACKAGES=(cmake make g++ dpkg-dev qt6-base-dev fonts-liberation locales
                  libgsl-dev nlohmann-json3-dev pybind11-dev python3-dev python3-numpy help2man
                  libocct-data-exchange-dev libocct-modeling-algorithms-dev libtbb-dev)
# What ./test needs besides.
TARVELO_TEST_PACKAGES=(libgtest-dev python3-pytest python3-matplotlib bash-completion lintian
                       python3-ezdxf)
