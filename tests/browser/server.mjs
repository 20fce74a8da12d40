// A static file server on 127.0.0.1 that answers as a usual web server does:
// MIME types (application/wasm included), Brotli or gzip for text and
// WebAssembly as the browser accepts them, ETag revalidation. It counts the
// bytes it sends. serve(root, port, { brotli: false }) answers as a server that
// has only gzip does.
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

export async function serve(root, port = 0, { brotli = true } = {}) {
  const files = new Map(); // path -> { body, gzip, br, etag }
  const sockets = new Set();
  let sent = 0; // bytes of closed connections
  const log = [];

  function load(file) {
    if (!files.has(file)) {
      const body = fs.readFileSync(file);
      // The site's own compressed copies where it has them (as nginx's
      // gzip_static and brotli_static send them), else compressed at
      // servers' usual levels. A copy that is not of this file would test
      // another program.
      const copy = (suffix, unpack, pack) => {
        if (!fs.existsSync(file + suffix))
          return pack(body);
        const packed = fs.readFileSync(file + suffix);
        if (!unpack(packed).equals(body))
          throw new Error(`${file}${suffix} is not ${path.basename(file)} compressed`);
        return packed;
      };
      files.set(file, {
        body,
        gzip: copy(".gz", zlib.gunzipSync, b => zlib.gzipSync(b, { level: 6 })),
        br: copy(".br", zlib.brotliDecompressSync,
                 b => zlib.brotliCompressSync(b, { params: { [zlib.constants.BROTLI_PARAM_QUALITY]: 5 } })),
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
    const accepted = req.headers["accept-encoding"] || "";
    if (COMPRESSED.has(ext) && brotli && /\bbr\b/.test(accepted)) {
      headers["Content-Encoding"] = "br";
      body = entry.br;
    } else if (COMPRESSED.has(ext) && /\bgzip\b/.test(accepted)) {
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
