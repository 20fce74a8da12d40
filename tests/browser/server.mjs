// A static file server on 127.0.0.1 that answers as a usual web server does:
// MIME types (application/wasm included), gzip for text and WebAssembly when
// the browser asks for it, ETag revalidation. It counts the bytes it sends.
import crypto from "node:crypto";
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import zlib from "node:zlib";

const TYPES = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".wasm": "application/wasm",
  ".webmanifest": "application/manifest+json",
  ".json": "application/json",
  ".png": "image/png",
  ".ttf": "font/ttf",
  ".txt": "text/plain; charset=utf-8",
};
const COMPRESSED = new Set([".html", ".js", ".wasm", ".webmanifest", ".json", ".ttf", ".txt"]);

export async function serve(root, port = 0) {
  const files = new Map(); // path -> { body, gzip, etag }
  const sockets = new Set();
  let sent = 0; // bytes of closed connections
  const log = [];

  function load(file) {
    if (!files.has(file)) {
      const body = fs.readFileSync(file);
      // The site's own compressed copy where it has one (as nginx's
      // gzip_static sends it), else compressed at servers' usual level. A
      // copy that is not of this file would test another program.
      let gzip;
      if (fs.existsSync(file + ".gz")) {
        gzip = fs.readFileSync(file + ".gz");
        if (!zlib.gunzipSync(gzip).equals(body))
          throw new Error(`${file}.gz is not ${path.basename(file)} compressed`);
      } else {
        gzip = zlib.gzipSync(body, { level: 6 });
      }
      files.set(file, {
        body,
        gzip,
        etag: '"' + crypto.createHash("sha1").update(body).digest("hex").slice(0, 16) + '"',
      });
    }
    return files.get(file);
  }

  const server = http.createServer((req, res) => {
    const url = new URL(req.url, "http://localhost");
    let file = path.join(root, decodeURIComponent(url.pathname));
    if (!file.startsWith(root)) {
      res.writeHead(403).end();
      return;
    }
    if (fs.existsSync(file) && fs.statSync(file).isDirectory())
      file = path.join(file, "index.html");
    if (!fs.existsSync(file)) {
      res.writeHead(404).end();
      log.push([url.pathname, 404, 0]);
      return;
    }
    const ext = path.extname(file);
    const entry = load(file);
    const headers = {
      "Content-Type": TYPES[ext] || "application/octet-stream",
      "Cache-Control": "no-cache",
      "ETag": entry.etag,
      "Vary": "Accept-Encoding",
    };
    if (req.headers["if-none-match"] === entry.etag) {
      res.writeHead(304, headers).end();
      log.push([url.pathname, 304, 0]);
      return;
    }
    let body = entry.body;
    if (COMPRESSED.has(ext) && /\bgzip\b/.test(req.headers["accept-encoding"] || "")) {
      headers["Content-Encoding"] = "gzip";
      body = entry.gzip;
    }
    headers["Content-Length"] = body.length;
    res.writeHead(200, headers);
    res.end(req.method === "HEAD" ? undefined : body);
    log.push([url.pathname, 200, body.length]);
  });
  server.on("connection", socket => {
    sockets.add(socket);
    socket.on("close", () => {
      sent += socket.bytesWritten;
      sockets.delete(socket);
    });
  });
  await new Promise(resolve => server.listen(port, "127.0.0.1", resolve));

  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    port: server.address().port,
    // Every byte written to the browser so far, headers included.
    bytesSent: () => sent + [...sockets].reduce((sum, s) => sum + s.bytesWritten, 0),
    requests: log,
    close: () => new Promise(resolve => {
      for (const s of sockets)
        s.destroy();
      server.close(resolve);
    }),
  };
}
