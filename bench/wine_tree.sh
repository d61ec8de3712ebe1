# Sourced by the benchmark scripts, from the project's root: bench_tree TREE
# TARGET... takes the Windows build tree given (empty: the one whose programs
# run on this machine, the 32-bit one where it can) into $build, configures it
# when needed, builds the targets, and starts Wine for the run, ended on exit.
. tests/wine/machine.sh
bench_tree() {
  build=${1:-build/$lyrimark_runnable_tree}
  shift
  [ -f "$build/CMakeCache.txt" ] || cmake --preset "$(basename "$build")"
  cmake --build "$build" -j2 --target "$@"
  sh tests/wine/wine-start.sh "$build"
  trap 'sh tests/wine/wine-stop.sh "$build"' EXIT
}
