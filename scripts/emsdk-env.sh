# Sourced: makes Debian's emscripten look like the emsdk layout Qt's build
# expects ($EMSDK with a .emscripten naming the emscripten root), in the cache.
# Usage: . emsdk-env.sh CACHE_DIR
_emsdk="$1/emsdk"
# Emscripten's own folder, wherever its emcc lives.
_emcc=$(command -v emcc) || { echo "emcc not found (Debian: emscripten)" >&2; return 1; }
_root=$(dirname "$(readlink -f "$_emcc")")
if [ ! -f "$_emsdk/.emscripten" ] || [ "$(readlink "$_emsdk/upstream/emscripten/cmake")" != "$_root/cmake" ]; then
  mkdir -p "$_emsdk/upstream/emscripten"
  for _tool in emcc em++ emar emranlib; do
    ln -sfn "$(dirname "$_emcc")/$_tool" "$_emsdk/upstream/emscripten/$_tool"
  done
  ln -sfn "$_root/cmake" "$_emsdk/upstream/emscripten/cmake"
  echo "EMSCRIPTEN_ROOT = emsdk_path + '/upstream/emscripten'" > "$_emsdk/.emscripten"
fi
export EMSDK="$_emsdk"
export EMSCRIPTEN="$_root"
# emscripten 3.1.6's JavaScript tools need acorn from Debian's node modules.
[ ! -d /usr/share/nodejs ] || export NODE_PATH=/usr/share/nodejs
unset _emsdk _emcc _root _tool
