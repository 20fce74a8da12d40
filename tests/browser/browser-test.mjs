// The browser edition in headless Chromium: loads the site from a local
// server, finds each screen by its colour and size on the page's pixels,
// drives a whole drill, registers a password and finds it again after a
// reload, starts offline, refuses to report a password saved when storage
// fails, and fits a small page. Prints the load figures, a school line's too.
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
const chromium = option("chromium") || "/usr/bin/chromium";
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
const PASSWORD_TEXT = "mimo2";

let checks = 0;
const note = what => console.log(`-- ${what}`);
function check(condition, what) {
  assert.ok(condition, what);
  ++checks;
  console.log(`ok ${checks} - ${what}`);
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

  // A control's rectangle on the page, from its twips inside the form.
  async at(rect, left, top, width, height) {
    const s = await this.scale();
    return { x: rect.x + left / 15 * s, y: rect.y + top / 15 * s, w: width / 15 * s, h: height / 15 * s };
  }

  async click(rect, left, top, width, height) {
    const r = await this.at(rect, left, top, width, height);
    await this.page.mouse.click(r.x + r.w / 2, r.y + r.h / 2);
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

// A message box: the active window's title bar (the box takes the focus),
// over a body of the Fusion window colour.
const BOX_GREY = [239, 239, 239];
const ACTIVE_TITLE = [48, 140, 198];
async function waitForMessageBox(screen, timeout = 10000) {
  const end = Date.now() + timeout;
  for (;;) {
    const img = await screen.shot();
    const bar = px.colourBox(img, ACTIVE_TITLE);
    if (bar && bar.h < 30 && bar.w > 100 && bar.w < img.width / 2) {
      let y = bar.y + bar.h;
      const grey = row => {
        let n = 0;
        for (let x = bar.x; x < bar.x + bar.w; ++x) {
          const [r, g, b] = img.rgb(x, row);
          n += r === BOX_GREY[0] && g === BOX_GREY[1] && b === BOX_GREY[2] ? 1 : 0;
        }
        return n / bar.w;
      };
      while (y < img.height && grey(y) < 0.3 && y < bar.y + bar.h + 6)
        ++y; // the frame between title and body
      const top = y;
      while (y < img.height && grey(y) >= 0.3)
        ++y;
      if (y - top > 30)
        return { img, rect: { x: bar.x, y: top, w: bar.w, h: y - top } };
    }
    if (Date.now() > end)
      await screen.fail("no message box");
    await sleep(30);
  }
}

function saveArea(img, rect, name, margin = 0) {
  const r = {
    x: Math.max(0, Math.round(rect.x - margin)),
    y: Math.max(0, Math.round(rect.y - margin * 2)),
  };
  r.w = Math.min(img.width - r.x, Math.round(rect.w + 2 * margin));
  r.h = Math.min(img.height - r.y, Math.round(rect.h + 3 * margin));
  fs.writeFileSync(path.join(out, name), px.encode(img, r));
}

// --- Reading the operands: digits typed into the answer box are the
// templates, since the operand labels use the same face and size. -----------
async function digitTemplates(screen, drill) {
  const templates = new Map();
  for (let n = 0; n <= 10; ++n) {
    await screen.click(drill, 7080, 2400, 1935, 1335); // K
    await screen.replaceText(String(n));
    await screen.key("Tab"); // no caret in the picture
    const img = await screen.shot();
    templates.set(n, px.trimmed(px.inkMask(img, await screen.at(drill, 7080, 2400, 1935, 1335))));
  }
  await screen.click(drill, 7080, 2400, 1935, 1335);
  await screen.replaceText("");
  await screen.key("Backspace");
  return templates;
}

async function readOperand(screen, img, drill, left, templates) {
  const mask = px.trimmed(px.inkMask(img, await screen.at(drill, left, 2400, 1935, 1335)));
  let best = null;
  for (const [n, t] of templates) {
    const d = px.maskDistance(mask, t);
    if (!best || d < best.d)
      best = { n, d };
  }
  const ink = Math.max(1, px.inkCount(mask));
  if (best.d / ink > 0.25)
    await screen.fail(`operand at ${left} twips matches no template (${best.d} of ${ink})`);
  return best.n;
}

// Types the answer into K and checks that it is there: right after a dialog
// closes, the browser edition may not yet have the keyboard on the drill
// screen, and keys typed then are lost (clicked and typed again).
async function typeAnswer(screen, drillRect, text) {
  const box = await screen.at(drillRect, 7080 + 150, 2400 + 150, 1935 - 300, 1335 - 300);
  for (let attempt = 1; attempt <= 3; ++attempt) {
    await screen.click(drillRect, 7080, 2400, 1935, 1335); // K
    await screen.replaceText(text);
    await sleep(100);
    if (px.inkCount(px.inkMask(await screen.shot(), box, [255, 255, 255])) > 400) // more than a text cursor
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
  const title = await screen.at(rect, 240, 240, 9135, 855);
  const description = await screen.at(rect, 360, 1320, 8895, 4215);
  check(px.inkCount(px.inkMask(img, title, MENU.colour)) > 500, "menu title drawn");
  check(px.inkCount(px.inkMask(img, description)) > 5000, "menu description drawn");
  // "設定" and "終了": same face, size and button; they must look different.
  const settings = await screen.at(rect, 3480, 5880, 2655, 735);
  const quit = await screen.at(rect, 6600, 5880, 2655, 735);
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
  await screen.click(rect, 360, 5880, 2655, 735); // お勉強の開始
  ({ img, rect } = await screen.waitFor(DRILL));
  const drillRect = rect;
  check(!(await screen.find(MENU, img)), "menu unloaded when the drill opens");

  // Three problems of addition in 1～10 (the defaults), count typed into T1.
  await screen.click(rect, 240 + 1800, 3960 + 1800, 4935, 435); // T1
  await screen.replaceText("3");
  await screen.click(rect, 240 + 7080, 3960 + 720, 1575, 1335); // 学習スタート
  const answerButton = await screen.at(rect, 480 + 150, 4080 + 150, 0, 0);
  const end = Date.now() + 10000;
  for (;;) {
    img = await screen.shot();
    const [r, g, b] = img.rgb(Math.round(answerButton.x), Math.round(answerButton.y));
    if (r === BUTTON_CYAN[0] && g === BUTTON_CYAN[1] && b === BUTTON_CYAN[2])
      break;
    if (Date.now() > end)
      await screen.fail("the drill did not start");
    await sleep(30);
  }
  note("drill started: set-up frame gone, answer button shown");
  // "第" and "問" in red, same face and size.
  const dai = await screen.at(rect, 1440, 1200, 1095, 975), mon = await screen.at(rect, 6840, 1200, 1095, 975);
  check(px.inkDifference(img, dai, mon, DRILL.colour) > 0.3, "question words are real glyphs");

  const templates = await digitTemplates(screen, rect);
  check(new Set([...templates.values()].map(t => JSON.stringify(t))).size === 11, "eleven different number templates");

  const results = [];
  for (const [question, answerRight, byClick] of [[1, true, true], [2, false, false], [3, true, false]]) {
    img = await screen.shot();
    const left = await readOperand(screen, img, rect, 360, templates);
    const right = await readOperand(screen, img, rect, 3720, templates);
    if (question === 1)
      fs.writeFileSync(path.join(out, "web-question.png"),
                       px.encode(img, frameAround(img, rect)));
    const answer = answerRight ? left + right : left + right + 1;
    await typeAnswer(screen, rect, String(answer));
    if (byClick) {
      await screen.click(rect, 480, 4080, 8535, 495); // C2
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
      await screen.click(d, 0, 0, 9495, 2910);
    results.push(answerRight);
    if (question < 3) {
      // The next question is up when its number has changed.
      const numberArea = await screen.at(rect, 2760, 1200, 3975, 855);
      const before = px.trimmed(px.inkMask(img, numberArea, DRILL.colour));
      const until = Date.now() + 10000;
      for (;;) {
        const now = await screen.shot();
        if (!(await screen.find(dialogForm, now)) &&
            px.maskDistance(px.trimmed(px.inkMask(now, numberArea, DRILL.colour)), before) > 50)
          break;
        if (Date.now() > until)
          await screen.fail(`question ${question + 1} not shown`);
        await sleep(30);
      }
    }
  }

  ({ img, rect } = await screen.waitFor(RESULTS));
  check(!(await screen.find(DRILL, img)), "results shown, drill screen closed");
  for (let i = 0; i < 4; ++i) {
    const value = await screen.at(rect, 1800, 720 + 600 * i, 2655, 375);
    check(px.inkCount(px.inkMask(img, value)) > 20, `result value ${i} drawn`);
  }
  await retry(screen, rect, templates);
  ({ rect } = await screen.waitFor(RESULTS));
  await screen.click(rect, 240, 3120, 4335, 1095); // メニューに戻る
  await screen.waitFor(MENU);
  note("back at the menu");
}

// The one wrong answer of the drill: its list beside the results, and もう一度
// asks it again with one of the two right ones; all right, no list after.
async function retry(screen, resultsRect, templates) {
  let { img, rect } = await screen.waitFor(MISSED);
  const apart = rect.x >= resultsRect.x + resultsRect.w || rect.x + rect.w <= resultsRect.x;
  check(apart && (await screen.find(RESULTS, img)), "missed problems listed beside the results, not over them");
  // Inside the list's frame: the rows are 480 twips apart.
  const firstRow = await screen.at(rect, 300, 1080, 5400, 420);
  const secondRow = await screen.at(rect, 300, 1080 + 480, 5400, 420);
  check(px.inkCount(px.inkMask(img, firstRow, [255, 255, 255])) > 100 &&
        px.inkCount(px.inkMask(img, secondRow, [255, 255, 255])) === 0, "one missed problem in the list");
  fs.writeFileSync(path.join(out, "web-missed.png"), px.encode(img, frameAround(img, rect)));
  await screen.click(rect, 240, 3600, 2760, 615); // もう一度
  ({ img, rect } = await screen.waitFor(DRILL));
  check(!(await screen.find(RESULTS, img)) && !(await screen.find(MISSED, img)), "retry drill: results and list gone");
  let asked = 0;
  for (;;) {
    img = await screen.shot();
    if (await screen.find(RESULTS, img))
      break;
    const left = await readOperand(screen, img, rect, 360, templates);
    const right = await readOperand(screen, img, rect, 3720, templates);
    await typeAnswer(screen, rect, String(left + right));
    await screen.key("Enter");
    await screen.key("Enter");
    await screen.waitFor(RIGHT);
    await screen.key("Enter");
    await screen.waitGone(RIGHT);
    ++asked;
    check(asked <= 2, `retry question ${asked}: ${left}+${right}`);
    const until = Date.now() + 10000;
    for (;;) {
      const now = await screen.shot();
      if ((await screen.find(RESULTS, now)) || px.maskDistance(
            px.trimmed(px.inkMask(now, await screen.at(rect, 2760, 1200, 3975, 855), DRILL.colour)),
            px.trimmed(px.inkMask(img, await screen.at(rect, 2760, 1200, 3975, 855), DRILL.colour))) > 50)
        break;
      if (Date.now() > until)
        await screen.fail("retry: next question not shown");
      await sleep(30);
    }
  }
  check(asked === 2, "retry drill: the missed problem and one of the two right ones");
  await sleep(300);
  check(!(await screen.find(MISSED, await screen.shot())), "retry all right: no list of missed problems");
}

// Registers or enters the password; returns the pictures of the password
// form's first line and of the message box.
async function passwordRound(page, text) {
  const screen = new Screen(page, "password");
  let { rect } = await screen.waitFor(MENU);
  await screen.click(rect, 3480, 5880, 2655, 735); // 設定
  const form = await screen.waitFor(PASSWORD);
  const label = await screen.at(form.rect, 240, 240, 4215, 375);
  const labelMask = px.trimmed(px.inkMask(form.img, label));
  await screen.type(text);
  await screen.key("Enter"); // to T2
  await screen.type(text);
  await screen.key("Enter"); // to 入力完了
  await screen.key("Enter"); // presses it
  const box = await waitForMessageBox(screen);
  const boxRect = box.rect;
  fs.writeFileSync(path.join(out, `message-${++messageCount}.png`),
                   px.encode(box.img, { x: 0, y: 0, w: box.img.width, h: box.img.height }));
  console.log("message box", JSON.stringify(boxRect));
  const cx = boxRect.x + boxRect.w / 2, cy = boxRect.y + boxRect.h / 2;
  check(Math.abs(cx - box.img.width / 2) < 30 && Math.abs(cy - box.img.height / 2) < 40, "message box centred");
  const boxMask = px.trimmed(px.inkMask(box.img, boxRect));
  check(px.inkCount(boxMask) > 200, "message text drawn");
  await screen.key("Enter"); // OK
  await sleep(300);
  return { screen, labelMask, boxMask, boxImg: box.img, boxRect };
}

async function closeSettings(screen) {
  const { rect } = await screen.waitFor(SETTINGS);
  await screen.click(rect, 6720, 240, 2535, 735); // 設定完了
  await screen.waitFor(MENU);
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
    check(px.maskDistance(entered.labelMask, registered.labelMask) > 100,
          "after the reload the form asks for the password instead of a first one");
    check(px.maskDistance(entered.boxMask, registered.boxMask) > 100, "recognised: another message than at registration");
    await closeSettings(entered.screen);

    // No network: the copy alone starts the program.
    await server.close();
    await page.reload({ waitUntil: "domcontentloaded" });
    const offline = await new Screen(page, "offline").waitFor(MENU, 30000);
    check(offline.rect.w === 641, "starts with the server gone (from the service worker's copy)");
    server = await serve(site, server.port);

    // A browser whose storage refuses to write.
    const context = await browser.createBrowserContext();
    const refusing = await context.newPage();
    await refusing.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
    await refusing.evaluateOnNewDocument(() => {
      Storage.prototype.setItem = function () {
        throw new DOMException("The quota has been exceeded.", "QuotaExceededError");
      };
    });
    await refusing.goto(server.url, { waitUntil: "domcontentloaded" });
    const refused = await passwordRound(refusing, PASSWORD_TEXT);
    check(px.maskDistance(refused.labelMask, registered.labelMask) < 50, "refusing browser: asked for a first password");
    check(px.maskDistance(refused.boxMask, registered.boxMask) > 100, "refusing browser: not told it was saved");
    const after = await refused.screen.shot();
    check(await refused.screen.find(PASSWORD, after) && !(await refused.screen.find(SETTINGS, after)),
          "refusing browser: the settings screen does not open");
    check(await refusing.evaluate(k => localStorage.getItem(k), STORE_KEY) === null, "refusing browser: nothing stored");
    saveArea(refused.boxImg, refused.boxRect, "refused-message.png", 10);
    await context.close();

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
