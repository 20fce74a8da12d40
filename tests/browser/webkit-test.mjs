// The browser edition in WebKit, Safari's engine: WebKitGTK's MiniBrowser
// under Xvfb, driven through WebKitWebDriver with plain WebDriver requests.
// A whole drill by keyboard alone (no clicks), and a password registered,
// then recognised after a reload, with the drill's answers still in the
// learning record. The drill's screens at a small page's size and a
// tablet's, each the same picture as on a full-size page. Controls are found through the program's automation
// hook, as in the Chromium test.
//
// node webkit-test.mjs --site build-web/site [--minibrowser PATH]
import { spawn, execFileSync } from "node:child_process";
import fs from "node:fs";
import net from "node:net";
import path from "node:path";
import * as px from "./pixels.mjs";
import { serve } from "./server.mjs";

const option = name => {
  const i = process.argv.indexOf(`--${name}`);
  return i > 0 ? process.argv[i + 1] : null;
};
const site = path.resolve(option("site") || "build-web/site");
const PASSWORD_TEXT = "mimo2";
const KEY = { Enter: "\uE007", Tab: "\uE004", Backspace: "\uE003" };

function findMiniBrowser() {
  const given = option("minibrowser");
  if (given)
    return given;
  const arch = execFileSync("dpkg-architecture", ["-qDEB_HOST_MULTIARCH"]).toString().trim();
  for (const api of ["4.1", "4.0", "6.0"]) {
    const candidate = `/usr/lib/${arch}/webkit2gtk-${api}/MiniBrowser`;
    if (fs.existsSync(candidate))
      return candidate;
  }
  throw new Error("no WebKitGTK MiniBrowser (Debian package libwebkit2gtk-4.1-0)");
}

let checks = 0;
const note = what => console.log(`-- ${what}`);
function check(condition, what) {
  if (!condition)
    throw new Error(`check failed: ${what}`);
  ++checks;
  console.log(`ok ${what}`);
}
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

async function freePort() {
  return new Promise((resolve, reject) => {
    const s = net.createServer();
    s.listen(0, "127.0.0.1", () => {
      const { port } = s.address();
      s.close(() => resolve(port));
    });
    s.on("error", reject);
  });
}

// Xvfb picks a free display and says which on descriptor 3.
async function startXvfb() {
  const xvfb = spawn("Xvfb", ["-displayfd", "3", "-screen", "0", "1700x1300x24", "-nolisten", "tcp"],
                     { stdio: ["ignore", "ignore", "inherit", "pipe"] });
  const display = await new Promise((resolve, reject) => {
    let said = "";
    xvfb.stdio[3].on("data", d => {
      said += d;
      if (said.includes("\n"))
        resolve(`:${said.trim()}`);
    });
    xvfb.on("exit", code => reject(new Error(`Xvfb ended (${code})`)));
  });
  return { xvfb, display };
}

class WebDriver {
  constructor(base) {
    this.base = base;
  }

  async send(method, url, body) {
    const response = await fetch(this.base + url, {
      method, headers: { "content-type": "application/json" },
      body: body === undefined ? undefined : JSON.stringify(body),
    });
    const json = await response.json();
    if (!response.ok)
      throw new Error(`${method} ${url}: ${JSON.stringify(json.value)}`);
    return json.value;
  }

  async start(binary) {
    const value = await this.send("POST", "/session", {
      capabilities: { alwaysMatch: { "webkitgtk:browserOptions": { binary, args: ["--automation"] } } },
    });
    this.session = `/session/${value.sessionId}`;
  }

  go(url) { return this.send("POST", `${this.session}/url`, { url }); }
  // A mouse click at a point of the page, in CSS pixels.
  async click(x, y) {
    const actions = [{ type: "pointerMove", x: Math.round(x), y: Math.round(y), duration: 0 },
                     { type: "pointerDown", button: 0 }, { type: "pause", duration: 30 }, { type: "pointerUp", button: 0 }];
    await this.send("POST", `${this.session}/actions`,
                    { actions: [{ type: "pointer", id: "mouse", parameters: { pointerType: "mouse" }, actions }] });
    await sleep(50);
  }
  resize(width, height) { return this.send("POST", `${this.session}/window/rect`, { width, height }); }
  async screenshot() {
    return px.decode(Buffer.from(await this.send("GET", `${this.session}/screenshot`), "base64"));
  }
  refresh() { return this.send("POST", `${this.session}/refresh`, {}); }
  run(script, args = []) { return this.send("POST", `${this.session}/execute/sync`, { script, args }); }
  end() { return this.send("DELETE", this.session); }

  // Real key events, one key after another.
  async keys(...sequence) {
    const actions = [];
    for (const part of sequence) {
      const chars = Object.values(KEY).includes(part) ? [part] : [...part];
      for (const value of chars)
        actions.push({ type: "keyDown", value }, { type: "keyUp", value }, { type: "pause", duration: 20 });
    }
    await this.send("POST", `${this.session}/actions`, { actions: [{ type: "key", id: "keyboard", actions }] });
    await sleep(50);
  }
}

// The program's automation hook (src/platform/wasm/Automation.cpp).
async function ask(wd, request) {
  return wd.run(`if (!window.mimoran || !window.mimoran.running) return null;
                 window.mimoran.request = arguments[0];
                 window.mimoran.loader.module()._mimoran_automation();
                 return window.mimoran.reply;`, [request]);
}

async function until(what, probe, timeout = 20000) {
  const end = Date.now() + timeout;
  for (;;) {
    let value = null;
    try {
      value = await probe();
    } catch (e) {
      if (Date.now() > end)
        throw e;
    }
    if (value)
      return value;
    if (Date.now() > end)
      throw new Error(`not within ${timeout} ms: ${what}`);
    await sleep(50);
  }
}

// A request that waits for IndexedDB: the reply comes after the call.
async function askLater(wd, request) {
  await wd.run(`window.mimoran.reply = null;
                window.mimoran.request = arguments[0];
                window.mimoran.loader.module()._mimoran_automation();`, [request]);
  return until(`the reply to ${request.op}`, () => wd.run("return window.mimoran.reply"));
}

const shown = (wd, windowName, name) =>
  until(`${windowName}/${name || ""} shown`, async () => {
    const c = await ask(wd, { op: "widget", window: windowName, name });
    return c && c.found && c.visible ? c : null;
  });
const gone = (wd, windowName) =>
  until(`${windowName} gone`, async () => {
    const c = await ask(wd, { op: "widget", window: windowName });
    return c && (!c.found || !c.visible);
  });
const focusAt = (wd, windowName, name) =>
  until(`keyboard at ${windowName}/${name}`, async () => {
    const f = await ask(wd, { op: "focus" });
    return f && f.window === windowName && f.name === name;
  });
const reads = (wd, windowName, name, text) =>
  until(`${windowName}/${name} reads "${text}"`, async () => {
    const c = await ask(wd, { op: "widget", window: windowName, name });
    return c && c.text === text;
  });

// Tab until the keyboard is on the control, then Enter.
async function tabToAndPress(wd, windowName, name) {
  for (let steps = 0; steps < 12; ++steps) {
    const f = await ask(wd, { op: "focus" });
    if (f.window === windowName && f.name === name) {
      await wd.keys(KEY.Enter);
      return;
    }
    await wd.keys(KEY.Tab);
  }
  throw new Error(`Tab never reached ${windowName}/${name}`);
}

// The question's sum (or one more), typed into the answer box, and the
// answer button pressed, by keys alone.
async function answerByKeyboard(wd, question, right) {
  await reads(wd, "Calk", "Label5", String(question));
  await focusAt(wd, "Calk", "K");
  const left = Number((await ask(wd, { op: "widget", window: "Calk", name: "K1" })).text);
  const rightOperand = Number((await ask(wd, { op: "widget", window: "Calk", name: "K2" })).text);
  const answer = String(right ? left + rightOperand : left + rightOperand + 1);
  await wd.keys(answer);
  await reads(wd, "Calk", "K", answer);
  await wd.keys(KEY.Enter, KEY.Enter);
}

async function keyboardDrill(wd) {
  await shown(wd, "Mess01");
  await focusAt(wd, "Mess01", "C1");
  await keyUntil(wd, KEY.Enter, "Calk shown", async () => {
    const c = await ask(wd, { op: "widget", window: "Calk" });
    return c && c.found && c.visible;
  });
  await focusAt(wd, "Calk", "T1");
  await wd.keys(KEY.Backspace, KEY.Backspace, "3");
  await reads(wd, "Calk", "T1", "3");
  await wd.keys(KEY.Enter, KEY.Enter);
  await shown(wd, "Calk", "C2");
  for (const [question, right] of [[1, true], [2, false], [3, true]]) {
    await answerByKeyboard(wd, question, right);
    const cb = await shown(wd, "Dialog", "CB");
    check(cb.text === (right ? " 正解！" : "間違い!"), `WebKit: question ${question} answered by keyboard ("${cb.text}")`);
    await wd.keys(KEY.Enter);
    await gone(wd, "Dialog");
  }
  await shown(wd, "kekka");
  const values = [];
  for (let i = 0; i < 4; ++i)
    values.push((await ask(wd, { op: "widget", window: "kekka", name: `L(${i})` })).text);
  check(values.join(",") === "3,67,2,1", `WebKit: results ${values.join(", ")}`);
  // The missed problems' window has the keyboard first: 閉じる, then back.
  await focusAt(wd, "Missed", "C1");
  await tabToAndPress(wd, "Missed", "C2");
  await tabToAndPress(wd, "kekka", "Command1");
  await shown(wd, "Mess01");
  check(true, "WebKit: a whole drill by keyboard alone, back at the menu");
}

// A key pressed in the moments after a load can be lost (the window not yet
// active); pressed again while what it should do has not happened.
async function keyUntil(wd, key, what, done) {
  for (let attempt = 1; attempt <= 3; ++attempt) {
    await wd.keys(key);
    if (await until(what, done, 1500).catch(() => false))
      return;
    note(`${what}: the key pressed again (attempt ${attempt})`);
  }
  await until(what, done);
}

async function passwordRound(wd) {
  await shown(wd, "Mess01");
  await focusAt(wd, "Mess01", "C1");
  await keyUntil(wd, KEY.Tab, "keyboard at Mess01/C2", async () => {
    const f = await ask(wd, { op: "focus" });
    return f && f.window === "Mess01" && f.name === "C2";
  });
  await wd.keys(KEY.Enter); // 設定
  await shown(wd, "PassWord");
  await focusAt(wd, "PassWord", "T1");
  await wd.keys(PASSWORD_TEXT, KEY.Enter, PASSWORD_TEXT, KEY.Enter, KEY.Enter);
  const box = await until("a message box", async () => {
    const m = await ask(wd, { op: "message" });
    return m && m.text !== null ? m : null;
  });
  await wd.keys(KEY.Enter);
  await shown(wd, "Setei");
  await tabToAndPress(wd, "Setei", "Command1");
  await shown(wd, "Mess01");
  return box.text;
}

// The drill's screens in WebKit at a page size, each window's picture with
// its frame (which shrinks with the rest), in the screenshot's pixels. The
// clock is held still before the drill, so it asks the same problems at
// every size.
async function tourOfScreens(wd, width, height) {
  await wd.resize(width, height);
  await wd.refresh();
  await shown(wd, "Mess01");
  await ask(wd, { op: "steadyCursor" });
  await wd.run("const now = Date.UTC(2026, 11, 8, 1, 23, 45); Date.now = () => now;");
  const page = await wd.run(`return { w: innerWidth, h: innerHeight, s: window.mimoran.scale,
                                      left: mimoran.canvas.getBoundingClientRect().left,
                                      top: mimoran.canvas.getBoundingClientRect().top };`);
  const shots = [];
  const shoot = async (label, names) => {
    const rects = [];
    for (const name of names)
      rects.push(await shown(wd, name));
    await sleep(250); // drawn
    const img = await wd.screenshot();
    const ratio = img.width / page.w;
    names.forEach((name, i) => {
      const c = rects[i];
      const css = { x: page.left + c.x * page.s - 4 * page.s, y: page.top + c.y * page.s - 26 * page.s,
                    w: (c.w + 8) * page.s, h: (c.h + 30) * page.s };
      const inside = css.x >= -0.5 && css.y >= -0.5 && css.x + css.w <= page.w + 0.5 && css.y + css.h <= page.h + 0.5;
      shots.push({ label: `${label}/${name}`, img, inside,
                   rect: { x: css.x * ratio, y: css.y * ratio, w: css.w * ratio, h: css.h * ratio } });
    });
  };
  await shoot("menu", ["Mess01"]);
  // By the mouse: where the page shrinks the canvas, a click must still land
  // on the button under it.
  const start = await shown(wd, "Mess01", "C1");
  await wd.click(page.left + (start.x + start.w / 2) * page.s, page.top + (start.y + start.h / 2) * page.s);
  await focusAt(wd, "Calk", "T1");
  await shoot("set-up", ["Calk"]);
  await wd.keys(KEY.Backspace, KEY.Backspace, "2");
  await reads(wd, "Calk", "T1", "2");
  await wd.keys(KEY.Enter, KEY.Enter);
  await shown(wd, "Calk", "C2");
  await focusAt(wd, "Calk", "K");
  await shoot("question", ["Calk"]);
  for (const [question, right] of [[1, false], [2, true]]) {
    await answerByKeyboard(wd, question, right);
    await shoot(right ? "right" : "wrong", ["Dialog"]);
    await wd.keys(KEY.Enter);
    await gone(wd, "Dialog");
  }
  await focusAt(wd, "Missed", "C1");
  await shoot("results", ["kekka", "Missed"]);
  return { page, shots };
}

// A small page and a tablet's, each window against its picture on a
// full-size page, by the same measure as in Chromium.
async function everyScreenWhole(wd) {
  const full = await tourOfScreens(wd, 1600, 1100);
  check(full.page.s === 1, `WebKit: nothing scaled on a ${full.page.w}x${full.page.h} page`);
  for (const [width, height] of [[800, 500], [1024, 768]]) {
    const { page, shots } = await tourOfScreens(wd, width, height);
    const problems = [];
    for (const shot of shots) {
      const ref = full.shots.find(f => f.label === shot.label);
      if (!shot.inside)
        problems.push(`${shot.label}: not whole on the page`);
      const d = px.pictureDistance(shot.img, shot.rect, ref.img, ref.rect);
      if (d.over > 0)
        problems.push(`${shot.label}: ${d.over} of ${d.cells} cells differ (worst ${d.worst.toFixed(0)})`);
    }
    check(problems.length === 0, `WebKit ${page.w}x${page.h} (scale ${page.s}): ${shots.length} windows whole ` +
                                 `and as at full size ${problems.join("; ")}`);
  }
}

async function main() {
  const miniBrowser = findMiniBrowser();
  const server = await serve(site);
  const { xvfb, display } = await startXvfb();
  const port = await freePort();
  const driver = spawn("WebKitWebDriver", [`--port=${port}`], {
    stdio: ["ignore", "ignore", "inherit"], env: { ...process.env, DISPLAY: display },
  });
  const wd = new WebDriver(`http://127.0.0.1:${port}`);
  try {
    await until("WebKitWebDriver answers", async () => (await fetch(`${wd.base}/status`)).ok, 10000);
    await wd.start(miniBrowser);
    await wd.go(server.url);
    await shown(wd, "Mess01");
    note(`menu shown in ${await wd.run("return navigator.userAgent")}`);
    await keyboardDrill(wd);
    check(await passwordRound(wd) === "パスワードの初期設定が完了しました", "WebKit: password registered");
    await wd.refresh();
    check(await passwordRound(wd) === "パスワードを認識しました", "WebKit: password recognised after a reload");
    // The drill's answers, read back from IndexedDB after the reload.
    const record = await askLater(wd, { op: "record", last: 3 });
    const verdicts = (record.last || []).map(r => `${r.questionNo}${r.correct ? "+" : "-"}`).join(" ");
    check(record.readable && record.count === 3 && record.pending === 0 && verdicts === "1+ 2- 3+",
          `WebKit: the drill's 3 answers kept in IndexedDB across the reload (${record.count}: ${verdicts})`);
    await everyScreenWhole(wd);
  } catch (e) {
    // What the page showed when it went wrong, beside the Chromium test's.
    const shot = path.join(site, "..", "browser-test", "failure-webkit.png");
    await wd.screenshot().then(img => fs.writeFileSync(shot, px.encode(img, { x: 0, y: 0, w: img.width, h: img.height })))
      .then(() => console.error(`last screen: ${shot}`), () => {});
    throw e;
  } finally {
    await wd.end().catch(() => {});
    driver.kill();
    xvfb.kill();
    await server.close();
  }
  console.log(`${checks} passed, 0 failed`);
}

main().catch(e => {
  console.error(e.stack || String(e));
  console.log(`${checks} passed, 1 failed`);
  process.exit(1);
});
