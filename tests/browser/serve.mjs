// Serves a folder on 127.0.0.1 as the test does (gzip, ETag), for trying the
// site by hand: node serve.mjs build-web/site 8080
import path from "node:path";
import { serve } from "./server.mjs";

const [root = "build-web/site", port = "8080"] = process.argv.slice(2);
const server = await serve(path.resolve(root), Number(port));
console.log(`serving ${path.resolve(root)} at ${server.url} (Ctrl+C ends)`);
