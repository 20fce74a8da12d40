# Sourced: makes Debian's emscripten look like the emsdk layout Qt's build
# expects ($EMSDK with a .emscripten naming the emscripten root), in the cache.
# Usage: . emsdk-env.sh CACHE_DIR
_emsdk="$1/emsdk"
if [ ! -f "$_emsdk/.emscripten" ]; then
  mkdir -p "$_emsdk/upstream/emscripten"
  ln -sfn /usr/bin/emcc "$_emsdk/upstream/emscripten/emcc"
  ln -sfn /usr/bin/em++ "$_emsdk/upstream/emscripten/em++"
  ln -sfn /usr/bin/emar "$_emsdk/upstream/emscripten/emar"
  ln -sfn /usr/bin/emranlib "$_emsdk/upstream/emscripten/emranlib"
  ln -sfn /usr/share/emscripten/cmake "$_emsdk/upstream/emscripten/cmake"
  echo "EMSCRIPTEN_ROOT = emsdk_path + '/upstream/emscripten'" > "$_emsdk/.emscripten"
fi
export EMSDK="$_emsdk"
export EMSCRIPTEN=/usr/share/emscripten
# emscripten 3.1.6's JavaScript tools need acorn from Debian's node modules.
export NODE_PATH=/usr/share/nodejs
unset _emsdk
