# Sourced by the build scripts: `launcher` holds the CMake options that put
# ccache in front of the compilers, so that rebuilds of other checkouts and
# build trees reuse the compiled objects.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
