// The browser edition in headless Chromium: loads the site from a local
// server, finds each screen by its colour and size on the page's pixels and
// each control by its objectName (through the program's automation hook),
// drives a whole drill, registers a password and finds it again after a
// reload, starts offline, gives the right message when storage refuses to
// write or to be read, runs the settings store's contract rows against the
// page's storage, and fits a small page. Prints the load figures, a school
// line's too.
//
// node browser-test.mjs --site build-web/site --out build-web/browser-test
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import puppeteer from "puppeteer-core";

import * as px from "./pixels.mjs";
import { serve } from "./server.mjs";

const option = name => {
  const i = process.argv.indexOf(`--${name}`);
  return i > 0 ? process.argv[i + 1] : undefined;
};
const site = path.resolve(option("site") || "build-web/site");
const out = path.resolve(option("out") || "build-web/browser-test");
// The browser: --chromium, else the first Chromium or Chrome on the PATH.
const chromium = option("chromium") || findOnPath(["chromium", "chromium-browser", "google-chrome"]);
function findOnPath(names) {
  for (const dir of (process.env.PATH || "").split(path.delimiter))
    for (const name of names)
      if (dir && fs.existsSync(path.join(dir, name))) return path.join(dir, name);
  throw new Error(`none of ${names.join(", ")} is on the PATH (Debian: chromium); give --chromium`);
}
fs.mkdirSync(out, { recursive: true });

// The screens: background colour and client size in twips (15 to a pixel).
const MENU = { name: "menu", colour: [192, 255, 192], w: 9615, h: 6915 };
const DRILL = { name: "drill", colour: [192, 255, 255], w: 9495, h: 6915 };
const RIGHT = { name: "dialog (right)", colour: [255, 128, 128], w: 9495, h: 2910 };
const WRONG = { name: "dialog (wrong)", colour: [128, 128, 255], w: 9495, h: 2910 };
const RESULTS = { name: "results", colour: [255, 128, 128], w: 4815, h: 4455 };
const PASSWORD = { name: "password", colour: [255, 192, 192], w: 4575, h: 3030 };
const SETTINGS = { name: "settings", colour: [255, 192, 192], w: 9615, h: 6915 };
const MISSED = { name: "missed problems", colour: [255, 255, 192], w: 6240, h: 4455 };
const BUTTON_CYAN = [128, 255, 255];

const STORE_KEY = "Tovrani/Data/PassWord";
const FIRST_PASSWORD = "パスワードを初期設定します";
const ASK_PASSWORD = "パスワードを入力してください";
const PASSWORD_TEXT = "mimo2";

let checks = 0;
const note = what => console.log(`-- ${what}`);
function check(condition, what) {
  assert.ok(condition, what);
  ++checks;
  console.log(`ok ${checks} - ${what}`);
}

// The program's own answer to a request (src/platform/wasm/Automation.cpp).
async function ask(page, request) {
  return page.evaluate(r => {
    window.mimoran.request = r;
    window.mimoran.loader.module()._mimoran_automation();
    return window.mimoran.reply;
  }, request);
}

// A control (or, without a name, a window) by objectName, in page pixels.
async function control(page, windowName, name) {
  const c = await ask(page, { op: "widget", window: windowName, name });
  if (!c.found)
    return null;
  const at = await page.evaluate(() => {
    const r = document.getElementById("screen").getBoundingClientRect();
    return { s: window.mimoran.scale, left: r.left, top: r.top };
  });
  return { ...c, x: at.left + c.x * at.s, y: at.top + c.y * at.s, w: c.w * at.s, h: c.h * at.s };
}

class Screen {
  constructor(page, label) {
    this.page = page;
    this.label = label;
    this.last = null;
  }

  async shot() {
    this.last = px.decode(await this.page.screenshot({ type: "png" }));
    return this.last;
  }

  async scale() {
    return this.page.evaluate(() => window.mimoran.scale);
  }

  // The form's client area on the page, if it is shown at its own size.
  async find(form, img) {
    const s = await this.scale();
    const box = px.colourBox(img, form.colour);
    if (!box)
      return null;
    const w = form.w / 15 * s, h = form.h / 15 * s;
    return Math.abs(box.w - w) <= 3 && Math.abs(box.h - h) <= 3 ? box : null;
  }

  async waitFor(form, timeout = 20000) {
    const end = Date.now() + timeout;
    for (;;) {
      const img = await this.shot();
      const rect = await this.find(form, img);
      if (rect)
        return { img, rect };
      if (Date.now() > end)
        await this.fail(`${form.name} not shown within ${timeout} ms`);
      await sleep(30);
    }
  }

  async waitGone(form, timeout = 10000) {
    const end = Date.now() + timeout;
    for (;;) {
      const img = await this.shot();
      if (!(await this.find(form, img)))
        return img;
      if (Date.now() > end)
        await this.fail(`${form.name} still shown after ${timeout} ms`);
      await sleep(30);
    }
  }

  // A shown control's rectangle on the page.
  async at(windowName, name) {
    const c = await control(this.page, windowName, name);
    if (!c || !c.visible)
      await this.fail(`${windowName}/${name || ""} is not shown`);
    return c;
  }

  async click(windowName, name) {
    const r = await this.at(windowName, name);
    await this.page.mouse.click(r.x + r.w / 2, r.y + r.h / 2);
  }

  async text(windowName, name) {
    return (await this.at(windowName, name)).text;
  }

  async type(text) {
    await this.page.keyboard.type(text, { delay: 10 });
  }

  async key(name) {
    await this.page.keyboard.press(name);
  }

  async replaceText(text) {
    await this.page.keyboard.down("Control");
    await this.page.keyboard.press("a");
    await this.page.keyboard.up("Control");
    await this.type(text);
  }

  async fail(message) {
    const file = path.join(out, `failure-${this.label}.png`);
    if (this.last)
      fs.writeFileSync(file, px.encode(this.last, { x: 0, y: 0, w: this.last.width, h: this.last.height }));
    throw new Error(`${this.label}: ${message} (last screen: ${file})`);
  }
}

let messageCount = 0;
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// The message box that is open: its text, title and place, once shown.
async function waitForMessageBox(screen, timeout = 10000) {
  const end = Date.now() + timeout;
  for (;;) {
    const box = await ask(screen.page, { op: "message" });
    if (box.text !== null) {
      await sleep(100); // drawn
      return { img: await screen.shot(), box };
    }
    if (Date.now() > end)
      await screen.fail("no message box");
    await sleep(30);
  }
}


async function operand(screen, name) {
  const text = await screen.text("Calk", name);
  if (!/^[0-9]+$/.test(text))
    await screen.fail(`operand ${name} reads "${text}"`);
  return Number(text);
}

// Types the answer into K and checks that it is there: right after a dialog
// closes, the browser edition may not yet have the keyboard on the drill
// screen, and keys typed then are lost (clicked and typed again).
async function typeAnswer(screen, text) {
  for (let attempt = 1; attempt <= 3; ++attempt) {
    await screen.click("Calk", "K");
    await screen.replaceText(text);
    if ((await screen.text("Calk", "K")) === text)
      return;
    note(`answer ${text} not in the box (attempt ${attempt})`);
  }
  await screen.fail(`answer ${text} never reached the answer box`);
}

// --- The parts of the test ---------------------------------------------------

async function firstLoad(page, server) {
  const screen = new Screen(page, "first-load");
  const before = server.bytesSent();
  const start = Date.now();
  await page.goto(server.url, { waitUntil: "domcontentloaded" });
  const { img, rect } = await screen.waitFor(MENU, 30000);
  const menuMs = Date.now() - start;
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 20000 })
    .catch(() => {}); // claimed at activation; the second load checks the copy
  const bytes = server.bytesSent() - before;
  check(rect.w === 641 && rect.h === 461, `menu shown at its own size (${rect.w}x${rect.h}), not full page`);
  const centreX = rect.x + rect.w / 2, centreY = rect.y + rect.h / 2;
  check(Math.abs(centreX - img.width / 2) < 20 && Math.abs(centreY - img.height / 2) < 30,
        "menu centred on the page");
  return { menuMs, bytes, img, rect };
}

async function checkMenuText(screen, img, rect) {
  const title = await screen.at("Mess01", "Label1");
  const description = await screen.at("Mess01", "Label2");
  check(px.inkCount(px.inkMask(img, title, MENU.colour)) > 500, "menu title drawn");
  check(px.inkCount(px.inkMask(img, description)) > 5000, "menu description drawn");
  // "設定" and "終了": same face, size and button; they must look different.
  const settings = await screen.at("Mess01", "C2");
  const quit = await screen.at("Mess01", "C3");
  const inkA = px.inkCount(px.inkMask(img, settings)), inkB = px.inkCount(px.inkMask(img, quit));
  check(inkA > 100 && inkB > 100, "button captions have ink");
  check(px.inkDifference(img, settings, quit) > 0.3, "button captions are real glyphs, not boxes");
  // Lines of the description are glyphs of many shapes: its columns of ink
  // vary, where a row of equal boxes repeats one pattern.
  const top = px.inkMask(img, { x: description.x, y: description.y, w: description.w, h: description.h / 6 });
  const columns = new Set(top[0].map((_, x) => top.map(row => row[x]).join("")));
  check(columns.size > 40, `description glyphs vary (${columns.size} column patterns)`);
}

async function drill(page) {
  const screen = new Screen(page, "drill");
  let { img, rect } = await screen.waitFor(MENU);
  await screen.click("Mess01", "C1"); // お勉強の開始
  ({ img, rect } = await screen.waitFor(DRILL));
  const drillRect = rect;
  check(!(await screen.find(MENU, img)), "menu unloaded when the drill opens");

  // Three problems of addition in 1～10 (the defaults), count typed into T1.
  await screen.click("Calk", "T1");
  await screen.replaceText("3");
  await screen.click("Calk", "C1"); // 学習スタート
  const end = Date.now() + 10000;
  for (;;) {
    const frame = await control(page, "Calk", "Frame2"), answer = await control(page, "Calk", "C2");
    if (!frame.visible && answer.visible)
      break;
    if (Date.now() > end)
      await screen.fail("the drill did not start");
    await sleep(30);
  }
  note("drill started: set-up frame gone, answer button shown");
  img = await screen.shot();
  // "第" and "問" in red, same face and size.
  const dai = await screen.at("Calk", "Label4"), mon = await screen.at("Calk", "Label6");
  check(px.inkDifference(img, dai, mon, DRILL.colour) > 0.3, "question words are real glyphs");

  for (const [question, answerRight, byClick] of [[1, true, true], [2, false, false], [3, true, false]]) {
    check(await screen.text("Calk", "Label5") === String(question), `question ${question} numbered`);
    const left = await operand(screen, "K1"), right = await operand(screen, "K2");
    img = await screen.shot();
    const k1 = await screen.at("Calk", "K1");
    check(px.inkCount(px.inkMask(img, k1, DRILL.colour)) > 100, `question ${question}: operand drawn`);
    if (question === 1)
      fs.writeFileSync(path.join(out, "web-question.png"), px.encode(img, frameAround(img, rect)));
    const answer = answerRight ? left + right : left + right + 1;
    if (question === 3) {
      // After the dialog closed with Enter the keyboard is back in the
      // answer box, as on the desktop: typed without a click.
      const focus = await ask(page, { op: "focus" });
      check(focus.window === "Calk" && focus.name === "K", `keyboard back in the answer box (${focus.window}/${focus.name})`);
      await screen.replaceText(String(answer));
      check(await screen.text("Calk", "K") === String(answer), "answer typed without a click");
    } else {
      await typeAnswer(screen, String(answer));
    }
    if (byClick) {
      await screen.click("Calk", "C2");
    } else {
      await screen.key("Enter"); // to C2
      await screen.key("Enter"); // presses it
    }
    const dialogForm = answerRight ? RIGHT : WRONG;
    const shown = await screen.waitFor(dialogForm);
    const d = shown.rect;
    check(Math.abs(d.x - drillRect.x) <= 2 && Math.abs(d.y - (drillRect.y + 4000 / 15)) <= 3,
          `question ${question}: ${left}+${right}, answered ${answer}: ${dialogForm.name} over the lower drill screen`);
    check(px.inkCount(px.inkMask(shown.img, d, dialogForm.colour)) > 1000, `dialog caption drawn`);
    const [r, g, b] = shown.img.rgb(drillRect.x + 5, drillRect.y + 5);
    check(r === 192 && g === 255 && b === 255, "drill screen still shown above the dialog");
    if (question === 2)
      await screen.key("Enter");
    else
      await screen.click("Dialog");
    await screen.waitGone(dialogForm);
    if (question < 3) {
      const until = Date.now() + 10000;
      while ((await control(page, "Calk", "Label5")).text !== String(question + 1)) {
        if (Date.now() > until)
          await screen.fail(`question ${question + 1} not shown`);
        await sleep(30);
      }
    }
  }

  ({ img, rect } = await screen.waitFor(RESULTS));
  check(!(await screen.find(DRILL, img)), "results shown, drill screen closed");
  const values = [];
  for (let i = 0; i < 4; ++i)
    values.push(await screen.text("kekka", `L(${i})`));
  check(JSON.stringify(values) === JSON.stringify(["3", "67", "2", "1"]),
        `results: problems, score, right, wrong (${values.join(", ")})`);
  const score = await screen.at("kekka", "L(1)");
  check(px.inkCount(px.inkMask(img, score, RESULTS.colour)) > 20, "result values drawn");
  await retry(screen);
  await screen.waitFor(RESULTS);
  await screen.click("kekka", "Command1"); // メニューに戻る
  await screen.waitFor(MENU);
  note("back at the menu");
}

// The one wrong answer of the drill: its list beside the results, and もう一度
// asks it again with one of the two right ones; all right, no list after.
async function retry(screen) {
  let { img, rect } = await screen.waitFor(MISSED);
  const resultsRect = (await screen.waitFor(RESULTS)).rect;
  const apart = rect.x >= resultsRect.x + resultsRect.w || rect.x + rect.w <= resultsRect.x;
  check(apart, "missed problems listed beside the results, not over them");
  const row = await screen.at("Missed", "P(0)");
  check(row.text.endsWith("＝") && !(await control(screen.page, "Missed", "P(1)")), "one missed problem in the list");
  check(px.inkCount(px.inkMask(img, row)) > 50, "the missed problem drawn");
  fs.writeFileSync(path.join(out, "web-missed.png"), px.encode(img, frameAround(img, rect)));
  await screen.click("Missed", "C1"); // もう一度
  ({ img, rect } = await screen.waitFor(DRILL));
  check(!(await screen.find(RESULTS, img)) && !(await screen.find(MISSED, img)), "retry drill: results and list gone");
  let asked = 0;
  for (;;) {
    const left = await operand(screen, "K1"), right = await operand(screen, "K2");
    const number = await screen.text("Calk", "Label5");
    await typeAnswer(screen, String(left + right));
    await screen.key("Enter");
    await screen.key("Enter");
    await screen.waitFor(RIGHT);
    await screen.key("Enter");
    await screen.waitGone(RIGHT);
    ++asked;
    check(asked <= 2, `retry question ${asked}: ${left}+${right}`);
    const until = Date.now() + 10000;
    for (;;) {
      const calk = await control(screen.page, "Calk");
      if (!calk || !calk.visible) {
        await screen.waitFor(RESULTS);
        break;
      }
      const now = await control(screen.page, "Calk", "Label5");
      if (now && now.text !== number)
        break;
      if (Date.now() > until)
        await screen.fail("retry: next question not shown");
      await sleep(30);
    }
    if (!(await control(screen.page, "Calk"))?.visible)
      break;
  }
  check(asked === 2, "retry drill: the missed problem and one of the two right ones");
  await sleep(300);
  check(!(await control(screen.page, "Missed"))?.visible, "retry all right: no list of missed problems");
}

// Registers or enters the password: the password form's first line, and
// the message box's text (closed with Enter).
async function passwordRound(page, text) {
  const screen = new Screen(page, "password");
  await screen.waitFor(MENU);
  await screen.click("Mess01", "C2"); // 設定
  await screen.waitFor(PASSWORD);
  const label = await screen.text("PassWord", "Label1");
  await screen.type(text);
  await screen.key("Enter"); // to T2
  await screen.type(text);
  await screen.key("Enter"); // to 入力完了
  await screen.key("Enter"); // presses it
  const { img, box } = await waitForMessageBox(screen);
  fs.writeFileSync(path.join(out, `message-${++messageCount}.png`),
                   px.encode(img, { x: 0, y: 0, w: img.width, h: img.height }));
  check(box.title === "Tovrani", `message box titled "Tovrani" ("${box.title}")`);
  await screen.key("Enter"); // OK
  const end = Date.now() + 5000;
  while ((await ask(page, { op: "message" })).text !== null) {
    if (Date.now() > end)
      await screen.fail("the message box stays after Enter");
    await sleep(30);
  }
  return { screen, label, message: box.text, img };
}

async function closeSettings(screen) {
  await screen.waitFor(SETTINGS);
  await screen.click("Setei", "Command1"); // 設定完了
  await screen.waitFor(MENU);
}

// The settings store's contract (tests/store-contract.json, the rows every
// backend passes) against the page's storage, in a profile of its own.
async function storeContract(browser, server) {
  const contract = JSON.parse(fs.readFileSync(new URL("../store-contract.json", import.meta.url)));
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.goto(server.url, { waitUntil: "domcontentloaded" });
  await new Screen(page, "contract").waitFor(MENU, 30000);
  const item = key => `Tovrani/${contract.section}/${key}`;
  let kept = 0;
  for (const row of contract.rows) {
    await page.evaluate(() => {
      window.plainStorage ||= { getItem: Storage.prototype.getItem, setItem: Storage.prototype.setItem };
      Object.assign(Storage.prototype, window.plainStorage);
      localStorage.clear();
    });
    if (row.before === "unreadable")
      await page.evaluate(() => { Storage.prototype.getItem = () => { throw new DOMException("no", "SecurityError"); }; });
    else if (typeof row.before === "string")
      await page.evaluate((k, v) => localStorage.setItem(k, v), item(contract.key), row.before);
    if ("other" in row)
      await page.evaluate((k, v) => localStorage.setItem(k, v), item(contract.otherKey), row.other);
    if (row.refuse)
      await page.evaluate(() => { Storage.prototype.setItem = () => { throw new DOMException("full", "QuotaExceededError"); }; });
    const where = { section: contract.section, key: contract.key };
    if ("write" in row) {
      const { ok } = await ask(page, { op: "write", ...where, value: row.write.repeat(row.repeat || 1) });
      assert.equal(ok, row.ok, `store contract "${row.name}": write reports ${ok}`);
    }
    const { value } = await ask(page, { op: "read", ...where });
    assert.equal(value, row.read === null ? null : row.read.repeat(row.readRepeat || 1),
                 `store contract "${row.name}": reads back`);
    if ("other" in row) {
      const other = await ask(page, { op: "read", section: contract.section, key: contract.otherKey });
      assert.equal(other.value, row.other, `store contract "${row.name}": the other entry kept`);
    }
    ++kept;
  }
  check(kept === contract.rows.length, `the page's storage keeps the store contract (${kept} rows)`);
  await context.close();
}

function frameAround(img, rect) {
  const x = Math.max(0, rect.x - 8), y = Math.max(0, rect.y - 30);
  return { x, y, w: Math.min(img.width - x, rect.w + 16), h: Math.min(img.height - y, rect.h + 38) };
}

// -----------------------------------------------------------------------------

async function main() {
  let server = await serve(site);
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ["--no-sandbox", "--enable-unsafe-swiftshader", "--use-angle=swiftshader",
           "--disable-gpu-compositing", "--font-render-hinting=none"],
  });
  const figures = {};
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
    page.on("pageerror", e => console.log("page error:", e.message));

    // First load: nothing cached.
    const first = await firstLoad(page, server);
    figures.firstLoadBytes = first.bytes;
    figures.firstLoadMs = first.menuMs;
    fs.writeFileSync(path.join(out, "web-menu.png"), px.encode(first.img, frameAround(first.img, first.rect)));
    check(first.bytes <= 5e6, `first load within 5 MB (${first.bytes} bytes sent)`);
    await checkMenuText(new Screen(page, "menu"), first.img, first.rect);
    check(await page.evaluate(() => window.mimoran.scale === 1), "no scaling on a large page");

    await drill(page);

    // A first password: registered, then the settings screen.
    const registered = await passwordRound(page, PASSWORD_TEXT);
    check(registered.label === FIRST_PASSWORD, "first use: the form asks for a first password");
    check(registered.message === "パスワードの初期設定が完了しました", `registered ("${registered.message}")`);
    await closeSettings(registered.screen);
    check(await page.evaluate(k => localStorage.getItem(k), STORE_KEY) === PASSWORD_TEXT,
          "password kept in the page's storage");

    // Second load, from the service worker's copy.
    const before = server.bytesSent();
    const start = Date.now();
    await page.reload({ waitUntil: "domcontentloaded" });
    await new Screen(page, "second-load").waitFor(MENU, 30000);
    figures.secondLoadMs = Date.now() - start;
    figures.secondLoadBytes = server.bytesSent() - before;
    check(figures.secondLoadBytes < 100 * 1024, `second load from the copy (${figures.secondLoadBytes} bytes sent)`);

    const entered = await passwordRound(page, PASSWORD_TEXT);
    check(entered.label === ASK_PASSWORD, "after the reload the form asks for the password");
    check(entered.message === "パスワードを認識しました", `recognised ("${entered.message}")`);
    await closeSettings(entered.screen);

    // No network: the copy alone starts the program.
    await server.close();
    await page.reload({ waitUntil: "domcontentloaded" });
    const offline = await new Screen(page, "offline").waitFor(MENU, 30000);
    check(offline.rect.w === 641, "starts with the server gone (from the service worker's copy)");
    server = await serve(site, server.port);

    // Browsers whose storage refuses to write, or to be read at all.
    for (const [what, method, label, message] of [
      ["refusing to write", "setItem", FIRST_PASSWORD, "パスワードを保存できませんでした"],
      ["unreadable", "getItem", ASK_PASSWORD, "設定を読み込めませんでした"],
    ]) {
      const context = await browser.createBrowserContext();
      const failing = await context.newPage();
      await failing.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
      await failing.evaluateOnNewDocument(m => {
        Storage.prototype[m] = function () {
          throw new DOMException("The storage is not available.", "SecurityError");
        };
      }, method);
      await failing.goto(server.url, { waitUntil: "domcontentloaded" });
      const round = await passwordRound(failing, PASSWORD_TEXT);
      check(round.label === label, `storage ${what}: the form says "${round.label}"`);
      check(round.message === message, `storage ${what}: told "${round.message}"`);
      const after = await round.screen.shot();
      check(await round.screen.find(PASSWORD, after) && !(await round.screen.find(SETTINGS, after)),
            `storage ${what}: the settings screen does not open`);
      fs.writeFileSync(path.join(out, `storage-${method}.png`),
                       px.encode(round.img, { x: 0, y: 0, w: round.img.width, h: round.img.height }));
      await context.close();
    }

    await storeContract(browser, server);

    // A small page: everything drawn smaller, nothing cut off.
    const small = await browser.newPage();
    await small.setViewport({ width: 480, height: 360, deviceScaleFactor: 1 });
    await small.goto(server.url, { waitUntil: "domcontentloaded" });
    const smallScreen = new Screen(small, "small");
    const { img, rect } = await smallScreen.waitFor(MENU, 30000);
    const s = await smallScreen.scale();
    fs.writeFileSync(path.join(out, "web-menu-small.png"), px.encode(img, { x: 0, y: 0, w: img.width, h: img.height }));
    console.log("small page: menu at", JSON.stringify(rect));
    // The frame (4 pixels, 26 on top) is drawn at the same size at any scale.
    check(s < 1 && rect.x - 4 >= 0 && rect.y - 26 >= 0 && rect.x + rect.w + 4 <= img.width &&
          rect.y + rect.h + 4 <= img.height, `small page: menu scaled by ${s} and whole`);

    // A school line (10 Mbit/s, 40 ms each way), nothing cached: a new profile.
    const line = await browser.createBrowserContext();
    const slow = await line.newPage();
    await slow.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
    const cdp = await slow.createCDPSession();
    await cdp.send("Network.enable");
    await cdp.send("Network.emulateNetworkConditions",
                   { offline: false, latency: 40, downloadThroughput: 10e6 / 8, uploadThroughput: 10e6 / 8 });
    const lineStart = Date.now();
    await slow.goto(server.url, { waitUntil: "domcontentloaded" });
    await new Screen(slow, "school-line").waitFor(MENU, 60000);
    figures.schoolLineMs = Date.now() - lineStart;
    check(figures.schoolLineMs <= 8000, `school line: menu shown after ${figures.schoolLineMs} ms`);
    await line.close();
  } finally {
    await browser.close();
    await server.close();
  }

  const kb = n => (n / 1024).toFixed(0);
  console.log(`first load: ${kb(figures.firstLoadBytes)} KiB sent (gzip), menu shown after ${figures.firstLoadMs} ms`);
  console.log(`second load: ${kb(figures.secondLoadBytes)} KiB sent, menu shown after ${figures.secondLoadMs} ms`);
  console.log(`school line (10 Mbit/s, 40 ms): menu shown after ${figures.schoolLineMs} ms`);
  fs.writeFileSync(path.join(out, "figures.json"), JSON.stringify(figures, null, 2) + "\n");
  console.log(`${checks} passed, 0 failed`);
}

main().catch(e => {
  console.error(e.stack || String(e));
  console.log(`${checks} passed, 1 failed`);
  process.exit(1);
});
