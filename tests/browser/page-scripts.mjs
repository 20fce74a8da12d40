// The page's Emscripten JS libraries against what the program and its build
// say of them, without a browser (each is run against a stand-in of
// mergeInto):
// - the functions marked __async are the ones the build names to Asyncify
//   (--waits), and each returns through Asyncify.handleAsync; no other
//   function does;
// - a function that uses a library's $ table lists it in its __deps (or it
//   is missing from the page whenever nothing else pulls it in);
// - the record store's $RecordStatus is its C++ Status, name for name.
//
//   node page-scripts.mjs --waits a,b --record-status BrowserRecordStore.h LIBRARY.js...
import { readFileSync } from "node:fs";
import vm from "node:vm";

const args = process.argv.slice(2);
const option = (name) => {
  const at = args.indexOf(name);
  if (at < 0 || at + 1 >= args.length)
    throw new Error(`${name} missing`);
  return args.splice(at, 2)[1];
};
const waits = new Set(option("--waits").split(",").filter(Boolean));
const header = option("--record-status");

const library = {};
for (const file of args) {
  vm.runInNewContext(readFileSync(file, "utf8"),
                     { LibraryManager: { library }, mergeInto: (into, items) => Object.assign(into, items) },
                     { filename: file });
}

const problems = [];
const functions = Object.keys(library).filter((k) => !k.includes("__") && typeof library[k] === "function");
const tables = Object.keys(library).filter((k) => k.startsWith("$")).map((k) => k.slice(1));
for (const name of functions) {
  const source = String(library[name]);
  const marked = library[`${name}__async`] === true;
  if (marked !== waits.has(name))
    problems.push(`${name}: ${marked ? "marked __async but not named to Asyncify" : "named to Asyncify but not marked __async"}`);
  if (marked !== source.includes("Asyncify.handleAsync("))
    problems.push(`${name}: ${marked ? "marked __async but does not return through" : "not marked __async but uses"} Asyncify.handleAsync`);
  for (const table of tables) {
    if (new RegExp(`\\b${table}\\b`).test(source) && !(library[`${name}__deps`] || []).includes(`$${table}`))
      problems.push(`${name}: uses ${table} without "$${table}" in its __deps`);
  }
}
for (const name of waits) {
  if (!functions.includes(name))
    problems.push(`${name}: named to Asyncify, but no library defines it`);
}

// The enum's entries, comments left out.
const enumText = /enum class Status\s*:\s*int\s*\{([^}]*)\}/.exec(readFileSync(header, "utf8"));
const cpp = {};
for (const [, name, value] of (enumText ? enumText[1].replace(/\/\/.*$/gm, "") : "").matchAll(/(\w+)\s*=\s*(-?\d+)/g))
  cpp[name] = Number(value);
const js = library.$RecordStatus || {};
for (const name of new Set([...Object.keys(cpp), ...Object.keys(js)])) {
  if (cpp[name] !== js[name])
    problems.push(`status ${name}: ${cpp[name]} in C++ (${header}), ${js[name]} in $RecordStatus`);
}
if (Object.keys(cpp).length === 0)
  problems.push(`no enum class Status in ${header}`);

if (problems.length) {
  console.error(problems.join("\n"));
  process.exit(1);
}
console.log(`${args.length} libraries, ${functions.length} functions, ${waits.size} waits, ` +
            `${Object.keys(cpp).length} record statuses: as the build and the program say`);
