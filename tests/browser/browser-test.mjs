// The browser edition in headless Chromium: loads the site from a local
// server, finds each screen by its colour and size on the page's pixels and
// each control by its objectName (through the program's automation hook),
// drives a whole drill, registers a password and finds it again after a
// reload, starts offline, gives the right message when storage refuses to
// write or to be read, runs the settings store's contract rows against the
// page's storage, and fits a small page. The learning record: the drills'
// answers read back after a reload, the parent's view and its CSV download,
// two tabs drilling at once, IndexedDB refused or stuck, and 100,000 answers
// measured. Every screen at the page sizes of school devices and small
// laptops, held against its full-size picture. Prints the load figures; over
// a school line the first and second load at full speed and with the
// processor slowed four times, against what the line itself allows.
//
// node browser-test.mjs --site build-web/site --out build-web/browser-test
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
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
  // None while a reloaded page has not started the program yet.
  const c = await page.evaluate(() => !!window.mimoran?.loader?.module?.())
    ? await ask(page, { op: "widget", window: windowName, name }) : null;
  if (!c?.found)
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

  // The page drops input while the program waits on IndexedDB (its stack
  // set aside); a person would click again, a test waits until it may.
  async idle(timeout = 20000) {
    const end = Date.now() + timeout;
    while (await this.page.evaluate(() => (window.mimoran?.loader?.module?.()?.mimoranRecord?.holding || 0) > 0)) {
      if (Date.now() > end)
        await this.fail(`the page still waits on its record after ${timeout} ms`);
      await sleep(20);
    }
  }

  async click(windowName, name) {
    const r = await this.at(windowName, name);
    await this.idle();
    await this.page.mouse.click(r.x + r.w / 2, r.y + r.h / 2);
  }

  // A finger's tap (touch events only, no mouse), on a touch-emulating page.
  async tap(windowName, name) {
    const r = await this.at(windowName, name);
    const point = { x: Math.round(r.x + r.w / 2), y: Math.round(r.y + r.h / 2) };
    await this.idle();
    const cdp = await touchSession(this.page);
    await cdp.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [point] });
    await sleep(20);
    await cdp.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
    await sleep(30);
  }

  async text(windowName, name) {
    return (await this.at(windowName, name)).text;
  }

  async type(text) {
    await this.idle();
    await this.page.keyboard.type(text, { delay: 10 });
  }

  async key(name) {
    await this.idle();
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
    await this.shot().catch(() => {}); // the screen now, not the last one looked for
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
  await typeInto(screen, "K", text);
}

async function typeInto(screen, box, text, form = "Calk") {
  for (let attempt = 1; attempt <= 3; ++attempt) {
    await screen.click(form, box);
    await screen.replaceText(text);
    if ((await screen.text(form, box)) === text)
      return;
    note(`${text} not in ${box} (attempt ${attempt})`);
  }
  await screen.fail(`${text} never reached ${box}`);
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
async function passwordRound(page, text, enter = null) {
  const screen = new Screen(page, "password");
  enter = enter || (t => screen.type(t));
  await screen.waitFor(MENU);
  await screen.click("Mess01", "C2"); // 設定
  await screen.waitFor(PASSWORD);
  const label = await screen.text("PassWord", "Label1");
  await enter(text);
  await screen.key("Enter"); // to T2
  await enter(text);
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

// --- Keyboard alone, the input method, touch tablets ---------------------------

const wide = text => [...text].map(c => /[0-9]/.test(c) ? String.fromCharCode(c.charCodeAt(0) + 0xfee0) : c).join("");

const sessions = new WeakMap();
async function touchSession(page) {
  if (!sessions.has(page))
    sessions.set(page, await page.createCDPSession());
  return sessions.get(page);
}

// Text entered as a Japanese input method enters it: each key goes down as
// "Process" (code 229) while the text is composed, and the Enter that commits
// it arrives with code 229 too.
function imeEntry(page) {
  return async text => {
    const cdp = await touchSession(page);
    let composed = "";
    for (const c of text) {
      composed += c;
      await cdp.send("Input.dispatchKeyEvent",
                     { type: "rawKeyDown", key: "Process", code: "KeyA", windowsVirtualKeyCode: 229, nativeVirtualKeyCode: 229 });
      await cdp.send("Input.imeSetComposition",
                     { text: composed, selectionStart: composed.length, selectionEnd: composed.length });
      await cdp.send("Input.dispatchKeyEvent", { type: "keyUp", key: "a", code: "KeyA", windowsVirtualKeyCode: 65 });
    }
    await cdp.send("Input.dispatchKeyEvent",
                   { type: "rawKeyDown", key: "Enter", code: "Enter", windowsVirtualKeyCode: 229, nativeVirtualKeyCode: 229 });
    await cdp.send("Input.insertText", { text: composed });
    await cdp.send("Input.dispatchKeyEvent", { type: "keyUp", key: "Enter", code: "Enter", windowsVirtualKeyCode: 13 });
    await sleep(30);
  };
}

// Text an on-screen keyboard inserts: input events, no key codes.
function screenKeyboardEntry(page) {
  return async text => {
    const cdp = await touchSession(page);
    await cdp.send("Input.insertText", { text });
    await sleep(30);
  };
}

async function waitForFocus(screen, windowName, name, timeout = 5000) {
  const end = Date.now() + timeout;
  for (;;) {
    const focus = await ask(screen.page, { op: "focus" });
    if (focus.window === windowName && focus.name === name)
      return;
    if (Date.now() > end)
      await screen.fail(`keyboard at ${focus.window}/${focus.name}, not ${windowName}/${name}`);
    await sleep(30);
  }
}

async function waitForText(screen, windowName, name, text, timeout = 5000) {
  const end = Date.now() + timeout;
  for (;;) {
    const c = await control(screen.page, windowName, name);
    if (c && c.text === text)
      return;
    if (Date.now() > end)
      await screen.fail(`${windowName}/${name} reads "${c && c.text}", not "${text}"`);
    await sleep(30);
  }
}

// Whether the control reads the text within the time.
async function textWithin(screen, windowName, name, text, timeout) {
  const end = Date.now() + timeout;
  for (;;) {
    if ((await control(screen.page, windowName, name))?.text === text)
      return true;
    if (Date.now() > end)
      return false;
    await sleep(30);
  }
}

async function waitForDrillStart(screen) {
  const end = Date.now() + 10000;
  for (;;) {
    const frame = await control(screen.page, "Calk", "Frame2"), answer = await control(screen.page, "Calk", "C2");
    if (!frame.visible && answer.visible)
      return;
    if (Date.now() > end)
      await screen.fail("the drill did not start");
    await sleep(30);
  }
}

// Whether the page has a text field focused that would bring up the system's
// on-screen keyboard.
async function systemKeyboardAsked(page) {
  return page.evaluate(() => {
    const e = document.activeElement;
    if (!e)
      return false;
    if (e.tagName === "INPUT" || e.tagName === "TEXTAREA")
      return true;
    return e.isContentEditable && e.inputMode !== "none";
  });
}

// A whole free-study drill of three problems without a click: Enter on the
// menu, the count and every answer entered by `enter` (keys, or the input
// method), Enter twice to answer, Enter on the feedback, and back to the menu
// with Tab and Enter. `shown` is how the boxes read what was entered.
async function keyboardDrill(page, label, enter, shown) {
  const screen = new Screen(page, label);
  await screen.waitFor(MENU);
  await waitForFocus(screen, "Mess01", "C1");
  await screen.key("Enter"); // お勉強の開始
  const { rect: drillRect } = await screen.waitFor(DRILL);
  await waitForFocus(screen, "Calk", "T1");
  await screen.key("Backspace");
  await screen.key("Backspace"); // "30" gone
  await enter(shown("3"));
  await waitForText(screen, "Calk", "T1", shown("3"));
  await screen.key("Enter"); // to 学習スタート
  await screen.key("Enter"); // presses it
  await waitForDrillStart(screen);
  for (const [question, answerRight] of [[1, true], [2, false], [3, true]]) {
    await waitForText(screen, "Calk", "Label5", String(question));
    await waitForFocus(screen, "Calk", "K");
    const sum = (await operand(screen, "K1")) + (await operand(screen, "K2"));
    const answer = shown(String(answerRight ? sum : sum + 1));
    await enter(answer);
    await waitForText(screen, "Calk", "K", answer);
    await screen.key("Enter"); // to the answer button
    await screen.key("Enter"); // presses it
    const dialogForm = answerRight ? RIGHT : WRONG;
    const { rect } = await screen.waitFor(dialogForm);
    check(Math.abs(rect.y - (drillRect.y + 4000 / 15)) <= 3, `${label}: question ${question} answered, ${dialogForm.name}`);
    await screen.key("Enter"); // acknowledged
    await screen.waitGone(dialogForm);
  }
  // (By the hook, not the colour: the red wrong answer's anti-aliased edge in
  // the list beside can carry the results' exact pink.)
  await waitForText(screen, "kekka", "L(0)", "3", 20000);
  const values = [];
  for (let i = 0; i < 4; ++i)
    values.push(await screen.text("kekka", `L(${i})`));
  check(JSON.stringify(values) === JSON.stringify(["3", "67", "2", "1"]), `${label}: results ${values.join(", ")}`);
  // The missed problems' window has the keyboard: Tab to 閉じる, Enter, and
  // the results have it back; Enter on メニューに戻る.
  for (let steps = 0; ; ++steps) {
    const focus = await ask(page, { op: "focus" });
    if (focus.window === "kekka" && focus.name === "Command1") {
      await screen.key("Enter");
      break;
    }
    if (steps > 10)
      await screen.fail(`no way back to the menu by keyboard (at ${focus.window}/${focus.name})`);
    await screen.key(focus.window === "Missed" && focus.name === "C2" ? "Enter" : "Tab");
    await sleep(100);
  }
  await screen.waitFor(MENU);
  check(true, `${label}: whole drill and back to the menu without a click`);
}

// Whether a count composed with the input method reaches the count box
// (used with the page's text handling taken away, to show the check bites).
async function composedCountReaches(page) {
  const screen = new Screen(page, "ime-off");
  await screen.waitFor(MENU, 30000);
  await waitForFocus(screen, "Mess01", "C1");
  await screen.key("Enter");
  await screen.waitFor(DRILL);
  await waitForFocus(screen, "Calk", "T1");
  await screen.key("Backspace");
  await screen.key("Backspace");
  await imeEntry(page)(wide("3"));
  await sleep(300);
  return (await screen.text("Calk", "T1")) === wide("3");
}

const TABLETS = [
  { name: "iPad", width: 1180, height: 820, dpr: 2, platform: "MacIntel",
    ua: "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/17.0 Safari/605.1.15" },
  { name: "Android", width: 768, height: 1024, dpr: 1, platform: "Linux armv8l",
    ua: "Mozilla/5.0 (Linux; Android 13; SM-X200) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0.0.0 Safari/537.36" },
  { name: "ChromeOS tablet", width: 1366, height: 1024, dpr: 1, platform: "Linux x86_64",
    ua: "Mozilla/5.0 (X11; CrOS x86_64 15633.69.0) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0.0.0 Safari/537.36" },
];

async function tabletPage(browser, server, tablet, width = tablet.width, height = tablet.height) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.on("pageerror", e => console.log(`page error (${tablet.name}):`, e.message));
  const cdp = await touchSession(page);
  await cdp.send("Emulation.setUserAgentOverride", { userAgent: tablet.ua, platform: tablet.platform });
  await page.setViewport({ width, height, deviceScaleFactor: tablet.dpr, isMobile: true, hasTouch: true });
  await page.goto(server.url, { waitUntil: "domcontentloaded" });
  await page.waitForFunction(() => window.mimoran && window.mimoran.running, { timeout: 30000 });
  return { context, page, cdp };
}

// A window shown, by the hook (the pictures of a device with two pixels to
// the CSS pixel are not at the forms' sizes).
async function waitForWindow(screen, name, timeout = 30000) {
  const end = Date.now() + timeout;
  for (;;) {
    const w = await control(screen.page, name);
    if (w && w.visible)
      return w;
    if (Date.now() > end)
      await screen.fail(`${name} not shown within ${timeout} ms`);
    await sleep(50);
  }
}

async function waitForWindowGone(screen, name, timeout = 10000) {
  const end = Date.now() + timeout;
  for (;;) {
    const w = await control(screen.page, name);
    if (!w || !w.visible)
      return;
    if (Date.now() > end)
      await screen.fail(`${name} still shown after ${timeout} ms`);
    await sleep(50);
  }
}

// Every window of the program whole on the page (frames included).
async function windowsInside(page, names) {
  const size = await page.evaluate(() => ({ w: window.innerWidth, h: window.innerHeight, s: window.mimoran.scale }));
  const outside = [];
  for (const name of names) {
    const w = await control(page, name);
    if (!w || !w.visible)
      continue;
    const side = 4 * size.s, top = 26 * size.s;
    if (w.x - side < -0.5 || w.y - top < -0.5 || w.x + w.w + side > size.w + 0.5 || w.y + w.h + side > size.h + 0.5)
      outside.push(`${name} at ${Math.round(w.x)},${Math.round(w.y)} ${Math.round(w.w)}x${Math.round(w.h)}`);
  }
  return outside;
}

// A drill by taps on the number pad, with no text field focused (so no
// system keyboard) all the while; then the password typed as an on-screen
// keyboard types it.
async function tabletDrill(browser, server, tablet) {
  const { context, page } = await tabletPage(browser, server, tablet);
  const label = tablet.name;
  const screen = new Screen(page, label.replace(/ /g, "-"));
  await waitForWindow(screen, "Mess01");
  check(await page.evaluate(() => window.mimoran.touchFirst), `${label}: a coarse pointer`);
  await screen.tap("Mess01", "C1");
  const drillRect = await waitForWindow(screen, "Calk");
  const pad = await screen.at("NumberPad");
  const portrait = tablet.height > tablet.width;
  check(portrait ? pad.y > drillRect.y + drillRect.h : pad.x > drillRect.x + drillRect.w,
        `${label}: the number pad ${portrait ? "below" : "beside"} the drill screen`);
  const outside = await windowsInside(page, ["Calk", "NumberPad"]);
  check(outside.length === 0, `${label}: drill screen and pad whole on the page ${outside.join("; ")}`);
  check(await screen.text("NumberPad", "Answer") === "はじめる", `${label}: the pad's key starts the drill`);
  await screen.tap("NumberPad", "Erase");
  await screen.tap("NumberPad", "Erase");
  await screen.tap("NumberPad", "Key(2)");
  await waitForText(screen, "Calk", "T1", "2");
  await screen.tap("NumberPad", "Answer");
  await waitForDrillStart(screen);
  let asked = await systemKeyboardAsked(page);
  for (const [question, answerRight] of [[1, true], [2, false]]) {
    await waitForText(screen, "Calk", "Label5", String(question));
    const sum = (await operand(screen, "K1")) + (await operand(screen, "K2"));
    const answer = String(answerRight ? sum : sum + 1);
    for (const digit of answer)
      await screen.tap("NumberPad", `Key(${digit})`);
    await waitForText(screen, "Calk", "K", answer);
    asked = asked || await systemKeyboardAsked(page);
    await screen.tap("NumberPad", "Answer");
    const dialog = await waitForWindow(screen, "Dialog");
    check(!(dialog.x < pad.x + pad.w && pad.x < dialog.x + dialog.w && dialog.y < pad.y + pad.h && pad.y < dialog.y + dialog.h),
          `${label}: the feedback dialog clear of the pad`);
    await sleep(200); // drawn
    const img = await screen.shot();
    if (question === 1 && tablet.dpr === 1)
      fs.writeFileSync(path.join(out, `web-pad-${portrait ? "portrait" : "landscape"}.png`),
                       px.encode(img, { x: 0, y: 0, w: img.width, h: img.height }));
    asked = asked || await systemKeyboardAsked(page);
    await screen.tap("Dialog", "CB");
    await waitForWindowGone(screen, "Dialog");
  }
  check(!asked, `${label}: no text field focused during the drill (no system keyboard)`);
  await waitForText(screen, "kekka", "L(0)", "2", 20000);
  check(await screen.text("kekka", "L(2)") === "1", `${label}: results after a drill by taps`);
  await screen.tap("kekka", "Command1");
  await waitForWindow(screen, "Mess01");

  // The parent's password, as an on-screen keyboard types it.
  await screen.tap("Mess01", "C2");
  await waitForWindow(screen, "PassWord");
  await screen.tap("PassWord", "T1");
  check(await systemKeyboardAsked(page), `${label}: a tap on the password box asks for the system keyboard`);
  await screenKeyboardEntry(page)(PASSWORD_TEXT);
  await screen.tap("PassWord", "T2");
  await screenKeyboardEntry(page)(PASSWORD_TEXT);
  check(await screen.text("PassWord", "T1") === PASSWORD_TEXT && await screen.text("PassWord", "T2") === PASSWORD_TEXT,
        `${label}: on-screen keyboard text in both password boxes, once`);
  await screen.tap("PassWord", "C1");
  const { box } = await waitForMessageBox(screen);
  check(box.text === "パスワードの初期設定が完了しました", `${label}: password registered ("${box.text}")`);
  await context.close();
}

// Turned mid-drill: 1024 x 768 to 768 x 1024, every window still whole.
async function turnedTablet(browser, server) {
  const tablet = TABLETS[0];
  const { context, page } = await tabletPage(browser, server, tablet, 1024, 768);
  const screen = new Screen(page, "turned");
  await waitForWindow(screen, "Mess01");
  await screen.tap("Mess01", "C1");
  await waitForWindow(screen, "Calk");
  await screen.tap("NumberPad", "Answer"); // 30 problems
  await waitForDrillStart(screen);
  await page.setViewport({ width: 768, height: 1024, deviceScaleFactor: tablet.dpr, isMobile: true, hasTouch: true });
  const end = Date.now() + 10000;
  for (;;) {
    const calk = await control(page, "Calk"), pad = await control(page, "NumberPad");
    const outside = await windowsInside(page, ["Calk", "NumberPad"]);
    if (outside.length === 0 && pad.y > calk.y + calk.h) {
      check(true, "turned mid-drill: the pad moves below, every window whole on the page");
      break;
    }
    if (Date.now() > end)
      await screen.fail(`after the turn: ${outside.join("; ") || "the pad is not below the drill screen"}`);
    await sleep(100);
  }
  const img = await screen.shot();
  fs.writeFileSync(path.join(out, "web-pad-turned.png"), px.encode(img, { x: 0, y: 0, w: img.width, h: img.height }));
  // Still answerable after the turn.
  const sum = (await operand(screen, "K1")) + (await operand(screen, "K2"));
  for (const digit of String(sum))
    await screen.tap("NumberPad", `Key(${digit})`);
  await screen.tap("NumberPad", "Answer");
  check((await waitForWindow(screen, "Dialog")) && await screen.text("Dialog", "CB") === " 正解！",
        "turned mid-drill: still answered by the pad");
  await context.close();
}

// --- Every screen whole at every page size ----------------------------------

// Full-size pages, where nothing is scaled: their pictures are what the
// windows look like. Then the page sizes of school devices and small
// laptops, each held against the full-size page of its kind (touch or not,
// held either way, the nearest pixel ratio). One is resized mid-drill, one
// turned: what follows is at the new size.
const FULL_PAGES = [
  { name: "full", width: 1600, height: 1100, dpr: 1, touch: false },
  { name: "full-wide-touch", width: 1600, height: 1100, dpr: 1, touch: true },
  { name: "full-x2", width: 1600, height: 1100, dpr: 2, touch: false },
  { name: "full-wide-touch-x2", width: 1600, height: 1100, dpr: 2, touch: true },
  { name: "full-tall-touch-x2", width: 1100, height: 1600, dpr: 2, touch: true },
];
const SMALL_PAGES = [
  { name: "chromebook-1366x768-touch", width: 1366, height: 768, dpr: 1, touch: true, like: "full-wide-touch" },
  { name: "tablet-1024x768-touch", width: 1024, height: 768, dpr: 1, touch: true, like: "full-wide-touch" },
  { name: "laptop-1024x520", width: 1024, height: 520, dpr: 1, touch: false, like: "full" },
  { name: "small-800x500", width: 800, height: 500, dpr: 1, touch: false, like: "full" },
  { name: "netbook-800x480-x1.25", width: 800, height: 480, dpr: 1.25, touch: false, like: "full-x2" },
  { name: "tablet-1080x810-x2", width: 1080, height: 810, dpr: 2, touch: true, like: "full-wide-touch-x2" },
  { name: "tablet-810x1080-x2", width: 810, height: 1080, dpr: 2, touch: true, like: "full-tall-touch-x2" },
  { name: "tablet-800x1280-x1.5", width: 800, height: 1280, dpr: 1.5, touch: true, like: "full-tall-touch-x2" },
  { name: "resized-1280x800-to-800x500", width: 1280, height: 800, dpr: 1, touch: false, like: "full",
    then: { width: 800, height: 500, like: "full" } },
  { name: "turned-1080x810-x2", width: 1080, height: 810, dpr: 2, touch: true, like: "full-wide-touch-x2",
    then: { width: 810, height: 1080, like: "full-tall-touch-x2" } },
];
// A window's picture with its frame (4 pixels, 26 on top, shrunk with the
// rest), in the screenshot's pixels.
async function windowPicture(page, img, name, rect = null) {
  const at = await page.evaluate(() => ({ s: window.mimoran.scale, dpr: window.devicePixelRatio,
                                          w: window.innerWidth, h: window.innerHeight }));
  const w = rect || await control(page, name);
  if (!w || !w.visible)
    return null;
  const css = { x: w.x - 4 * at.s, y: w.y - 26 * at.s, w: w.w + 8 * at.s, h: w.h + 30 * at.s };
  const inside = css.x >= -0.5 && css.y >= -0.5 && css.x + css.w <= at.w + 0.5 && css.y + css.h <= at.h + 0.5;
  return { inside, rect: { x: css.x * at.dpr, y: css.y * at.dpr, w: css.w * at.dpr, h: css.h * at.dpr }, img };
}

// Every screen a child and a parent see, on one page: menu, drill set-up and
// question (with the number pad on a touch page), both feedback dialogs,
// results with the missed problems, password, message box, settings and the
// record. The clock is held still, so the drill asks the same problems on
// every page.
async function tourOfScreens(browser, server, setting) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.on("pageerror", e => console.log(`page error (${setting.name}):`, e.message));
  await page.evaluateOnNewDocument(() => {
    const now = Date.UTC(2026, 11, 8, 1, 23, 45);
    Date.now = () => now;
  });
  const view = (width, height) => page.setViewport({ width, height, deviceScaleFactor: setting.dpr,
                                                    isMobile: setting.touch, hasTouch: setting.touch });
  await view(setting.width, setting.height);
  await page.goto(server.url, { waitUntil: "domcontentloaded" });
  await page.waitForFunction(() => window.mimoran && window.mimoran.running, { timeout: 30000 });
  await ask(page, { op: "steadyCursor" });
  const screen = new Screen(page, `fit-${setting.name}`);
  const press = (w, n) => (setting.touch ? screen.tap(w, n) : screen.click(w, n));
  const pad = setting.touch ? ["NumberPad"] : [];
  const shots = [];
  let like = setting.like || setting.name;
  // Once the windows stay where they are: a larger window first asks the
  // page for room, and then everything is shrunk and centred again.
  const settled = async names => {
    const where = async () => JSON.stringify([await page.evaluate(() => window.mimoran.scale),
                                              ...(await Promise.all(names.map(n => control(page, n))))]);
    let before = await where();
    for (const end = Date.now() + 10000; Date.now() < end;) {
      await sleep(250);
      const now = await where();
      if (now === before)
        return;
      before = now;
    }
    await screen.fail(`${names.join(", ")} never settled`);
  };
  const shoot = async (label, names) => {
    for (const name of names)
      await waitForWindow(screen, name);
    await settled(names); // and drawn
    const img = await screen.shot();
    for (const name of names)
      shots.push({ label: `${label}/${name}`, like, ...(await windowPicture(page, img, name)) });
  };
  const typeDigits = async (digits, box) => {
    if (setting.touch) {
      for (const d of digits)
        await screen.tap("NumberPad", `Key(${d})`);
      await waitForText(screen, "Calk", box, digits);
    } else {
      await typeInto(screen, box, digits);
    }
  };

  await shoot("menu", ["Mess01"]);
  await press("Mess01", "C1");
  await shoot("set-up", ["Calk", ...pad]);
  if (setting.touch) {
    await screen.tap("NumberPad", "Erase");
    await screen.tap("NumberPad", "Erase");
  }
  await typeDigits("2", "T1");
  await press(setting.touch ? "NumberPad" : "Calk", setting.touch ? "Answer" : "C1");
  await waitForDrillStart(screen);
  await shoot("question", ["Calk", ...pad]);
  if (setting.then) {
    like = setting.then.like;
    await view(setting.then.width, setting.then.height);
    const end = Date.now() + 10000;
    const padPlaced = async () => {
      if (!setting.touch)
        return true;
      const calk = await control(page, "Calk"), keys = await control(page, "NumberPad");
      return setting.then.height > setting.then.width ? keys.y > calk.y + calk.h : keys.x > calk.x + calk.w;
    };
    while ((await windowsInside(page, ["Calk", ...pad])).length > 0 || !(await padPlaced())) {
      if (Date.now() > end)
        await screen.fail(`resized to ${setting.then.width}x${setting.then.height}: windows not back inside`);
      await sleep(100);
    }
    await shoot("question", ["Calk", ...pad]);
    check(await screen.text("Calk", "Label5") === "1", `${setting.name}: the drill goes on at question 1 after the resize`);
  }
  for (const [question, right] of [[1, false], [2, true]]) {
    await waitForText(screen, "Calk", "Label5", String(question));
    const sum = (await operand(screen, "K1")) + (await operand(screen, "K2"));
    await typeDigits(String(right ? sum : sum + 1), "K");
    await press(setting.touch ? "NumberPad" : "Calk", setting.touch ? "Answer" : "C2");
    await shoot(right ? "right" : "wrong", ["Dialog"]);
    await press("Dialog", "CB");
    await waitForWindowGone(screen, "Dialog");
  }
  await waitForText(screen, "kekka", "L(0)", "2", 20000);
  await shoot("results", ["kekka", "Missed"]);
  await press("kekka", "Command1");
  await waitForWindow(screen, "Mess01");
  await press("Mess01", "C2");
  await shoot("password", ["PassWord"]);
  for (const box of ["T1", "T2"]) {
    await press("PassWord", box);
    await (setting.touch ? screenKeyboardEntry(page)(PASSWORD_TEXT) : screen.type(PASSWORD_TEXT));
  }
  await press("PassWord", "C1");
  const { img, box } = await waitForMessageBox(screen);
  shots.push({ label: "message", like, ...(await windowPicture(page, img, null, await boxOnPage(page, box))) });
  await screen.key("Enter");
  await shoot("settings", ["Setei"]);
  const usual = await page.evaluate(() => window.mimoran.scale);
  await press("Setei", "Command2"); // 学習の記録
  await shoot("record", ["Kiroku"]);
  // The drill's minutes are as long as the page took, which differs.
  const table = await control(page, "Kiroku", "DrillTable");
  const minutes = table.columns[table.columns.length - 1];
  const at = await page.evaluate(() => ({ s: window.mimoran.scale, dpr: window.devicePixelRatio }));
  shots[shots.length - 1].skip = { x: (table.x + minutes.x * at.s) * at.dpr, y: table.y * at.dpr,
                                   w: minutes.w * at.s * at.dpr, h: table.h * at.dpr };
  // Its room given back when it closes: the usual scale again.
  await press("Kiroku", "CloseButton");
  await waitForWindowGone(screen, "Kiroku");
  await settled(["Setei"]);
  const after = await page.evaluate(() => window.mimoran.scale);
  if (after !== usual)
    await screen.fail(`the scale stays ${after} after the record's view closed (was ${usual})`);
  await context.close();
  return shots;
}

async function boxOnPage(page, box) {
  const at = await page.evaluate(() => {
    const r = document.getElementById("screen").getBoundingClientRect();
    return { s: window.mimoran.scale, left: r.left, top: r.top };
  });
  return { visible: true, x: at.left + box.x * at.s, y: at.top + box.y * at.s, w: box.w * at.s, h: box.h * at.s };
}

// Each window of each small page against the same window on its full-size
// page, shrunk to the same size.
async function everyScreenWhole(browser, server) {
  const full = new Map();
  for (const setting of FULL_PAGES)
    for (const shot of await tourOfScreens(browser, server, setting))
      full.set(`${setting.name}:${shot.label}`, shot);
  const worst = [];
  for (const setting of SMALL_PAGES) {
    const shots = await tourOfScreens(browser, server, setting);
    const problems = [];
    let largest = 0;
    for (const shot of shots) {
      // The whole page of the menu and of the drill, as a child sees it.
      const whole = { "menu/Mess01": "menu", "question/Calk": "drill" }[shot.label];
      if (whole)
        fs.writeFileSync(path.join(out, `page-${setting.name}-${whole}.png`),
                         px.encode(shot.img, { x: 0, y: 0, w: shot.img.width, h: shot.img.height }));
      const ref = full.get(`${shot.like}:${shot.label}`);
      if (!ref) {
        problems.push(`${shot.label}: no full-size picture`);
        continue;
      }
      if (!shot.inside)
        problems.push(`${shot.label}: not whole on the page (${JSON.stringify(px.rounded(shot.rect))})`);
      const d = px.pictureDistance(shot.img, shot.rect, ref.img, ref.rect, { skip: shot.skip });
      largest = Math.max(largest, d.worst);
      if (d.over > 0) {
        problems.push(`${shot.label}: ${d.over} of ${d.cells} cells differ (worst ${d.worst.toFixed(0)} ` +
                      `at cell ${d.column},${d.row} of ${d.columns}x${d.rows})`);
        const file = path.join(out, `fit-${setting.name}-${shot.label.replace(/\//g, "-")}.png`);
        fs.writeFileSync(file, px.encode(shot.img, px.rounded(shot.rect, shot.img)));
      }
    }
    worst.push(`${setting.name} ${largest.toFixed(0)}`);
    check(problems.length === 0,
          `${setting.name}: ${shots.length} windows whole and as at full size ${problems.join("; ")}`);
  }
  note(`largest cell difference per page (limit ${px.FIT_LIMIT}): ${worst.join(", ")}`);
}

// --- The learning record -------------------------------------------------------

const RECORD_DB = "mimoran-record", RECORD_STORE = "answers";
const NOTICE_REFUSED = "このブラウザーでは学習の記録を保存できません（サイトのデータを保存しない設定か、プライベートブラウズのようです）。ドリルはそのまま使えます。";
const NOTICE_UNSUPPORTED = "このブラウザーでは学習の記録を保存できません（記録を保存するしくみがありません）。ドリルはそのまま使えます。";
const NOTICE_FULL = "このブラウザーでは学習の記録を保存できません（このサイトの保存領域がいっぱいです）。ドリルはそのまま使えます。";
const NOTICE_WRITE_FAILED = "学習の記録を保存できないことがありました。ドリルはそのまま続けられますが、保存できなかった答えは記録に残っていないことがあります。";

// The program's reply to a request that waits for IndexedDB: the call
// returns at once, the reply comes when the program is done.
async function askLater(page, request, timeout = 60000) {
  await page.evaluate(r => {
    window.mimoran.reply = null;
    window.mimoran.request = r;
    window.mimoran.loader.module()._mimoran_automation();
  }, request);
  await page.waitForFunction(() => window.mimoran.reply !== null, { timeout, polling: 20 });
  return page.evaluate(() => window.mimoran.reply);
}

// The record as the program reads it (its own store: answers still waiting
// in memory are counted too, and shown as "pending").
const recordOf = (page, options = {}) => askLater(page, { op: "record", last: 10, ...options });

// Entries in the page's IndexedDB, counted by the page itself.
async function storedEntries(page) {
  return page.evaluate((name, store) => new Promise((resolve, reject) => {
    const open = indexedDB.open(name);
    open.onerror = () => reject(open.error);
    open.onsuccess = () => {
      const db = open.result;
      if (!db.objectStoreNames.contains(store)) {
        db.close();
        resolve(0);
        return;
      }
      const count = db.transaction(store).objectStore(store).count();
      count.onsuccess = () => { db.close(); resolve(count.result); };
      count.onerror = () => { db.close(); reject(count.error); };
    };
  }), RECORD_DB, RECORD_STORE);
}

// A free-study drill of `count` problems of addition by mouse and keys, the
// answers right or wrong as `rights` says; until the results. Returns how
// long each answer took from the click to its feedback.
async function recordedDrill(page, label, rights, child = null) {
  const screen = new Screen(page, label);
  await waitForWindow(screen, "Mess01");
  await screen.click("Mess01", "C1");
  if (child !== null) {
    await waitForWindow(screen, "ChildPicker");
    await screen.click("ChildPicker", `Child(${child})`);
  }
  await waitForWindow(screen, "Calk");
  await typeInto(screen, "T1", String(rights.length));
  await screen.click("Calk", "C1");
  await waitForDrillStart(screen);
  const waits = [];
  for (const [i, right] of rights.entries()) {
    await waitForText(screen, "Calk", "Label5", String(i + 1), 10000);
    const sum = (await operand(screen, "K1")) + (await operand(screen, "K2"));
    await typeAnswer(screen, String(right ? sum : sum + 1));
    const clicked = Date.now();
    await screen.click("Calk", "C2");
    await waitForWindow(screen, "Dialog", 10000);
    waits.push(Date.now() - clicked);
    await screen.click("Dialog");
    await waitForWindowGone(screen, "Dialog");
  }
  await waitForText(screen, "kekka", "L(0)", String(rights.length), 20000);
  const results = [];
  for (let i = 0; i < 4; ++i)
    results.push(await screen.text("kekka", `L(${i})`));
  return { screen, results, waits };
}

async function backToMenu(screen) {
  await screen.click("kekka", "Command1");
  await waitForWindow(screen, "Mess01");
}

// The answers of the drills on the first page, as the program reads them
// back: the first drill (right, wrong, right), its retry (two right), the
// keyboard drill (right, wrong, right); each row as the drill showed it.
function checkDrillRows(record, since, label) {
  check(record.readable && record.count === 8 && record.unreadable === 0 && record.pending === 0,
        `${label}: the record reads 8 answers from storage (${record.count}, ${record.unreadable} unreadable, ${record.pending} in memory)`);
  const rows = record.last;
  const shape = rows.map(r => `${r.retry ? "R" : "D"}${r.questionNo}${r.correct ? "+" : "-"}`).join(" ");
  check(shape === "D1+ D2- D3+ R1+ R2+ D1+ D2- D3+", `${label}: drills, questions and verdicts in order (${shape})`);
  const drills = rows.map(r => r.drill);
  check(new Set(drills).size === 3 && drills[0] === drills[2] && drills[3] === drills[4] && drills[5] === drills[7],
        `${label}: each drill's answers under one name, three drills`);
  const wrong = rows.filter(r => r.operation !== 1 || r.answer !== r.left + r.right ||
                                 r.typed !== String(r.correct ? r.answer : r.answer + 1));
  check(wrong.length === 0, `${label}: each row holds its problem, right answer and what was typed ${JSON.stringify(wrong)}`);
  const times = rows.map(r => r.ms);
  check(times.every((t, i) => t >= since && t <= Date.now() && (i === 0 || t >= times[i - 1])) &&
        rows.every(r => r.elapsedMs >= 0 && r.elapsedMs < 120000),
        `${label}: answer times in the order given, within the test's run`);
}

// Two tabs of one site drilling at the same moment: every answer of both is
// kept. Then a third party upgrades the database (as a newer program in
// another tab would): the program lets go at once, and keeps recording.
// Two tabs of one profile at the menu. Both take keys at once, as two
// windows side by side would.
async function twoTabs(context, server, label) {
  const pages = [];
  for (let i = 0; i < 2; ++i) {
    const page = await context.newPage();
    await page.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
    await (await touchSession(page)).send("Emulation.setFocusEmulationEnabled", { enabled: true });
    page.on("dialog", d => d.accept());
    await page.goto(server.url, { waitUntil: "domcontentloaded" });
    await new Screen(page, `${label}-${i + 1}`).waitFor(MENU, 30000);
    pages.push(page);
  }
  return pages;
}

async function recordTwoTabs(browser, server) {
  const context = await browser.createBrowserContext();
  const pages = await twoTabs(context, server, "tab");
  const rights = [true, false, true, true, false];
  const drills = await Promise.all(pages.map((page, i) => recordedDrill(page, `tab-${i + 1}`, rights)));
  check(drills.every(d => d.results.join() === "5,60,3,2"), `two tabs at once: both drills end with their results (${drills.map(d => d.results.join("/")).join(", ")})`);
  note(`from the answer's click to its feedback, each answer stored first: ${drills.map(d => d.waits.join(", ")).join("; ")} ms`);
  const stored = await storedEntries(pages[0]);
  const record = await recordOf(pages[1], { last: 10 });
  const byDrill = new Map();
  for (const r of record.last)
    byDrill.set(r.drill, (byDrill.get(r.drill) || 0) + 1);
  check(stored === 10 && record.count === 10 && record.pending === 0 && [...byDrill.values()].join() === "5,5",
        `two tabs at once: all 10 answers kept, 5 of each tab (${stored} stored, ${record.count} read)`);
  for (const d of drills)
    await backToMenu(d.screen);

  const upgrade = await pages[0].evaluate(name => new Promise(resolve => {
    const probe = indexedDB.open(name);
    probe.onsuccess = () => {
      const version = probe.result.version;
      probe.result.close();
      let blocked = false;
      const start = performance.now();
      const up = indexedDB.open(name, version + 1);
      up.onblocked = () => { blocked = true; };
      up.onsuccess = () => { up.result.close(); resolve({ blocked, ms: performance.now() - start, version: version + 1 }); };
      up.onerror = () => resolve({ blocked, error: String(up.error) });
    };
  }), RECORD_DB);
  check(!upgrade.error && !upgrade.blocked, `another tab upgrades the database: both tabs let go at once (${JSON.stringify(upgrade)})`);
  const after = await recordedDrill(pages[1], "tab-2-after", [true]);
  const reread = await recordOf(pages[0], { last: 1 });
  check(after.results[0] === "1" && reread.count === 11 && reread.last[0].drill !== record.last[9].drill,
        `after the upgrade the program opens the database again and keeps recording (${reread.count} answers)`);
  await context.close();
}

// Two children named in one tab, then two tabs drilling at once, one for
// each: every answer under the child who gave it. A rename in one tab is in
// the other's picker at its next opening.
async function childrenTwoTabs(browser, server) {
  const context = await browser.createBrowserContext();
  const pages = await twoTabs(context, server, "children");
  // A tab in the background is not drawn: the one looked at comes first.
  const childrenPage = async () => {
    await pages[0].bringToFront();
    const { screen } = await passwordRound(pages[0], PASSWORD_TEXT);
    await screen.click("Setei", "Command2"); // 学習の記録
    await waitForWindow(screen, "Kiroku");
    await screen.click("Kiroku", "TabBar");
    for (let i = 0; i < 8 && !(await control(pages[0], "Kiroku", "AddChild"))?.visible; ++i)
      await screen.key("ArrowRight");
    return screen;
  };
  const leave = async screen => {
    await screen.click("Kiroku", "CloseButton");
    await waitForWindowGone(screen, "Kiroku");
    await closeSettings(screen);
  };
  await pages[0].bringToFront();
  await closeSettings((await passwordRound(pages[0], PASSWORD_TEXT)).screen);
  let screen = await childrenPage();
  for (const name of ["Hana", "Taro"]) {
    await typeInto(screen, "NameBox", name, "Kiroku");
    await screen.click("Kiroku", "AddChild");
    await sleep(300);
  }
  await leave(screen);

  const drills = await Promise.all(pages.map((page, i) => recordedDrill(page, `children-${i + 1}`, [true, false, true], i)));
  check(drills.every(d => d.results.join() === "3,67,2,1"), `two children in two tabs: both drills end (${drills.map(d => d.results.join("/")).join(", ")})`);
  const record = await recordOf(pages[1], { last: 10 });
  const byChild = new Map();
  for (const r of record.last)
    byChild.set(r.child, [...(byChild.get(r.child) || []), r.drill]);
  const ok = record.count === 6 && byChild.size === 2 && !byChild.has("") &&
             [...byChild.values()].every(d => d.length === 3 && new Set(d).size === 1);
  check(ok, `two children in two tabs: 3 answers under each child, one drill each (${[...byChild].map(([c, d]) => `${c}:${d.length}`).join(" ")})`);
  for (const d of drills)
    await backToMenu(d.screen);

  screen = await childrenPage();
  await screen.click("Kiroku", "ChildList");
  await screen.key("End"); // a child picked, whichever
  await typeInto(screen, "NameBox", "Jiro", "Kiroku");
  await screen.click("Kiroku", "RenameChild");
  await sleep(300);
  await leave(screen);
  await pages[1].bringToFront();
  const other = new Screen(pages[1], "children-2-picker");
  await other.click("Mess01", "C1");
  await waitForWindow(other, "ChildPicker");
  const offered = [await other.text("ChildPicker", "Child(0)"), await other.text("ChildPicker", "Child(1)")];
  check(offered.includes("Jiro") && ["Hana", "Taro"].filter(n => offered.includes(n)).length === 1,
        `the other tab's next picker has the new name in place of the old (${offered.join(", ")})`);
  await other.click("ChildPicker", "Back");
  await context.close();
}

// A browser that will not keep the record: the drill goes on exactly as
// before, and the store has its notice for the parent. Each row: what the
// page does to IndexedDB before the program starts, and what must follow.
const REFUSALS = [
  { what: "IndexedDB refused (SecurityError)", notice: NOTICE_REFUSED, readable: false,
    init: () => { IDBFactory.prototype.open = function () { throw new DOMException("denied", "SecurityError"); }; } },
  { what: "opening fails (private browsing)", notice: NOTICE_REFUSED, readable: false,
    init: () => {
      IDBFactory.prototype.open = function () {
        const request = {};
        setTimeout(() => {
          request.error = new DOMException("A mutation operation was attempted in private mode.", "InvalidStateError");
          if (request.onerror) request.onerror({ preventDefault() {} });
        }, 5);
        return request;
      };
    } },
  { what: "no IndexedDB at all", notice: NOTICE_UNSUPPORTED, readable: false,
    init: () => { Object.defineProperty(window, "indexedDB", { value: undefined, configurable: true }); } },
  { what: "storage full", notice: NOTICE_FULL, readable: true,
    init: () => {
      IDBObjectStore.prototype.add = IDBObjectStore.prototype.put = function () { throw new DOMException("full", "QuotaExceededError"); };
    } },
  // The first answer waits out the bound, the rest only briefly while it is on its way.
  { what: "a write that never completes", notice: NOTICE_WRITE_FAILED, readable: null, slowFirst: true,
    init: () => {
      IDBDatabase.prototype.transaction = function () {
        const tx = new EventTarget();
        const request = () => ({});
        tx.objectStore = () => ({ add: request, put: request, get: request, delete: request, openCursor: request,
                                  clear: request, getAll: request, getAllKeys: request, count: request });
        tx.abort = () => {};
        return tx;
      };
    } },
];

async function recordRefused(browser, server) {
  for (const row of REFUSALS) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
    page.on("pageerror", e => console.log(`page error (${row.what}):`, e.message));
    await page.evaluateOnNewDocument(row.init);
    await page.goto(server.url, { waitUntil: "domcontentloaded" });
    await new Screen(page, "refused").waitFor(MENU, 30000);
    const { screen, results, waits } = await recordedDrill(page, "refused", [true, false, true]);
    check(results.join() === "3,67,2,1", `${row.what}: the whole drill, results ${results.join(", ")}`);
    if (row.slowFirst)
      check(waits[0] >= 1800 && waits[0] < 4000 && waits.slice(1).every(w => w < 1500),
            `${row.what}: the first answer waits at most the bound, the others not at all (${waits.join(", ")} ms)`);
    else
      check(waits.every(w => w < 1500), `${row.what}: no answer waits (${waits.join(", ")} ms)`);
    const record = await recordOf(page, { notices: true, last: 0, read: row.readable !== null });
    check(record.notices.includes(row.notice) && record.notices.filter(n => n === row.notice).length === 1,
          `${row.what}: the parent is told once: ${JSON.stringify(record.notices)}`);
    check(record.pending === 3 && (row.readable === null || record.readable === row.readable),
          `${row.what}: the 3 answers wait in memory (${record.pending}), the record ${record.readable ? "reads" : "cannot be read"}`);
    await backToMenu(screen);
    await context.close();
  }
}

// --- A Spartan drill outlives its page ---------------------------------------

// Answers the question shown, right or wrong; the feedback closed or left up.
async function answerShown(screen, right, close = true) {
  const sum = (await operand(screen, "K1")) + (await operand(screen, "K2"));
  await typeAnswer(screen, String(right ? sum : sum + 1));
  await screen.click("Calk", "C2");
  await waitForWindow(screen, "Dialog", 10000);
  if (!close)
    return;
  await screen.click("Dialog");
  await waitForWindowGone(screen, "Dialog");
}

// The drill screen's question number and tallies (right, wrong).
async function drillState(screen) {
  return [await screen.text("Calk", "Label5"), await screen.text("Calk", "T(2)"), await screen.text("Calk", "T(3)")].join("/");
}

// A free drill left half-way by a reload is not taken up. A Spartan drill
// left by a reload (the feedback up, or not) or by a closed tab goes on in
// the next page at the question after the last one judged, its tallies
// standing; the page asks before it is left; its locked results hold over a
// reload too, until the parent's password opens them.
async function spartanOutlivesPage(browser, server) {
  const context = await browser.createBrowserContext();
  let page = await context.newPage();
  let asked = 0;
  const open = async (p, label) => {
    await p.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
    p.on("dialog", d => { if (d.type() === "beforeunload") ++asked; d.accept(); });
    p.on("pageerror", e => console.log(`page error (${label}):`, e.message));
    return new Screen(p, label);
  };
  let screen = await open(page, "spartan");
  await page.goto(server.url, { waitUntil: "domcontentloaded" });
  await screen.waitFor(MENU, 30000);

  await screen.click("Mess01", "C1");
  await waitForWindow(screen, "Calk");
  await typeInto(screen, "T1", "3");
  await screen.click("Calk", "C1");
  await waitForDrillStart(screen);
  await answerShown(screen, true);
  await page.reload({ waitUntil: "domcontentloaded" });
  await screen.waitFor(MENU, 30000);
  await sleep(1500);
  check(!(await control(page, "Calk"))?.visible && asked === 0,
        `a free drill left by a reload is not taken up, nor does the page ask (${asked} asked)`);

  // A first password (this profile has none), then the settings.
  await closeSettings((await passwordRound(page, PASSWORD_TEXT)).screen);
  ({ screen } = await passwordRound(page, PASSWORD_TEXT));
  await screen.click("Setei", "Option1(2)");
  await typeInto(screen, "T1", "4", "Setei");
  await screen.click("Setei", "Command1");
  await screen.waitFor(MENU);
  await screen.click("Mess01", "C1");
  await waitForWindow(screen, "Calk");
  await waitForText(screen, "Calk", "Label5", "1", 10000);
  await answerShown(screen, true);
  await answerShown(screen, false, false); // its feedback up
  await page.reload({ waitUntil: "domcontentloaded" });
  await waitForWindow(screen, "Calk", 30000);
  await waitForText(screen, "Calk", "Label5", "3", 10000);
  check(await drillState(screen) === "3/1/1" && asked === 1,
        `reloaded with the feedback up: the same drill at question 3, 1 right and 1 wrong (${await drillState(screen)}), the page asked first (${asked})`);

  await answerShown(screen, true);
  await page.close({ runBeforeUnload: false });
  page = await context.newPage();
  screen = await open(page, "spartan-again");
  await page.goto(server.url, { waitUntil: "domcontentloaded" });
  await waitForWindow(screen, "Calk", 30000);
  await waitForText(screen, "Calk", "Label5", "4", 10000);
  check(await drillState(screen) === "4/2/1", `the tab closed and opened again: question 4, 2 right and 1 wrong (${await drillState(screen)})`);

  await answerShown(screen, true);
  await waitForText(screen, "kekka", "L(0)", "4", 20000);
  await page.reload({ waitUntil: "domcontentloaded" });
  await waitForText(screen, "kekka", "L(0)", "4", 30000);
  const results = [];
  for (let i = 0; i < 4; ++i)
    results.push(await screen.text("kekka", `L(${i})`));
  check(results.join() === "4,75,3,1" && !(await control(page, "kekka", "Command1")).visible,
        `the locked results hold over a reload (${results.join(", ")})`);
  await typeInto(screen, "T1", PASSWORD_TEXT, "kekka");
  await screen.click("kekka", "C1");
  await backToMenu(screen);
  await page.reload({ waitUntil: "domcontentloaded" });
  await screen.waitFor(MENU, 30000);
  await sleep(1500);
  check(!(await control(page, "Calk"))?.visible && !(await control(page, "kekka"))?.visible,
        "unlocked by the password, the drill is over: the next page opens at the menu");
  const record = await recordOf(page, { last: 10 });
  const spartan = record.last.filter(r => r.mode === 2);
  check(spartan.length === 4 && new Set(spartan.map(r => r.drill)).size === 1 &&
        spartan.map(r => `${r.questionNo}${r.correct ? "+" : "-"}`).join(" ") === "1+ 2- 3+ 4+",
        `the Spartan drill's 4 answers stored once each, under one drill (${spartan.map(r => r.questionNo).join(",")})`);
  await context.close();
}

// A Spartan 5 × 5 百ます grid from the record's practice page: left by a
// reload after five crossings, it goes on at the first crossing not stored,
// those before still filled in; its end stays locked until the password.
async function spartanGridOutlivesPage(browser, server) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
  page.on("dialog", d => d.accept());
  const screen = new Screen(page, "grid");
  await page.goto(server.url, { waitUntil: "domcontentloaded" });
  await screen.waitFor(MENU, 30000);
  await closeSettings((await passwordRound(page, PASSWORD_TEXT)).screen);
  await passwordRound(page, PASSWORD_TEXT);
  await screen.click("Setei", "Option1(2)");
  await screen.click("Setei", "Command2"); // 学習の記録
  await waitForWindow(screen, "Kiroku");
  await screen.click("Kiroku", "TabBar");
  for (let i = 0; i < 8 && !(await control(page, "Kiroku", "GridStart"))?.visible; ++i)
    await screen.key("ArrowRight");
  await screen.click("Kiroku", "GridSize");
  await screen.key("ArrowDown");
  await screen.key("Enter");
  await waitForText(screen, "Kiroku", "GridSize", "5×5", 5000);
  await screen.click("Kiroku", "GridStart");
  await waitForWindow(screen, "HyakumasuForm");
  const side = async name => {
    const n = [];
    for (let i = 0; i < 5; ++i)
      n.push(Number(await screen.text("HyakumasuForm", `${name}(${i})`)));
    return n;
  };
  const across = await side("Across"), down = await side("Down");
  const answer = i => String(down[Math.floor(i / 5)] + across[i % 5]);
  // An Enter the page dropped while the program waited on its record is
  // pressed again, as a child would.
  const fill = async (from, to) => {
    for (let i = from; i < to; ++i) {
      for (let attempt = 1; ; ++attempt) {
        await typeInto(screen, "Entry", answer(i), "HyakumasuForm");
        await screen.key("Enter");
        if ((await textWithin(screen, "HyakumasuForm", `Cell(${i})`, answer(i), 3000)) || attempt === 3)
          break;
        note(`crossing ${i} not taken (attempt ${attempt})`);
      }
      await waitForText(screen, "HyakumasuForm", `Cell(${i})`, answer(i), 5000);
    }
  };
  await fill(0, 5);
  await sleep(1500); // stored behind the typing
  await page.reload({ waitUntil: "domcontentloaded" });
  await waitForWindow(screen, "HyakumasuForm", 30000);
  await sleep(500);
  const filled = [];
  for (let i = 0; i < 6; ++i)
    filled.push(await screen.text("HyakumasuForm", `Cell(${i})`));
  check(String(await side("Across")) === String(across) && filled.slice(0, 5).join() === [0, 1, 2, 3, 4].map(answer).join() &&
        filled[5] === "", `a reloaded Spartan grid: the same grid, 5 crossings filled (${filled.join(",")})`);
  await fill(5, 25);
  // Judged once the record has the crossings and the best time is read.
  await waitForText(screen, "HyakumasuForm", "RightResult", "せいかい　25／25", 10000);
  check(await screen.text("HyakumasuForm", "RightResult") === "せいかい　25／25" &&
        !(await control(page, "HyakumasuForm", "MenuButton")).visible,
        `at the grid's end: ${await screen.text("HyakumasuForm", "RightResult")}, locked`);
  await typeInto(screen, "LockPassword", PASSWORD_TEXT, "HyakumasuForm");
  await screen.click("HyakumasuForm", "LockButton");
  await waitForFocus(screen, "HyakumasuForm", "MenuButton");
  await screen.click("HyakumasuForm", "MenuButton");
  await screen.waitFor(MENU, 10000);
  const record = await recordOf(page, { last: 30 });
  const grid = record.last.filter(r => r.grid);
  check(grid.length === 25 && new Set(grid.map(r => r.drill)).size === 1 && grid.every(r => r.correct),
        `the grid's 25 crossings stored once each, under one drill (${grid.length})`);
  await context.close();
}

// 100,000 answers (half a year of daily drilling is a few thousand) stored
// as the program stores them, with entries it cannot understand among them:
// what they take, whether local storage could have held them, and the time
// and memory to read them through the program.
const BAD_ENTRIES = [
  { at: 0, value: { answer: 12 } },                          // not text
  { at: 1, value: 42 },
  { at: 500, value: "m1\tonly\tthree" },                      // too few fields
  { at: 50000, value: "m3\tlater\t0\t0\t0\t1\t10\t3\t0\t1\t1\t2\t1\t3\t1\t900\t3\t0" }, // a later format
  { at: 60000, value: "m2\td\t1\t0\t0\t1\t10\t3\t0\t1\t1\t2\t1\t3\t1\t900\t3\t2" }, // practice neither 0 nor 1
  { at: 70000, value: "m1\td\t1\t0\t0\t1\t10\t3\t0\t1\t1\t2\t1\tx\t1\t900\t3" },     // a number that is not
  { at: 80000, value: "m1\td\t1\t0\t0\t1\t10\t3\t0\t1\t1\t2\t1\t3\t1\t900\tbad\\q" }, // an unknown escape
  { at: 90000, value: "m1\td\t1\t0\t0\t1\t10\t3\t2\t1\t1\t2\t1\t3\t1\t900\t3" },     // retry neither 0 nor 1
  { at: 99999, value: "two\nlines" },
];

async function record100k(browser, figures) {
  // On disk, as a browser keeps a site's data (a new context's storage is
  // kept in memory), under an origin of its own: a second server.
  const server = await serve(site);
  const page = await browser.newPage();
  await page.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
  page.on("pageerror", e => console.log("page error (100k):", e.message));
  await page.goto(server.url, { waitUntil: "domcontentloaded" });
  await new Screen(page, "record-100k").waitFor(MENU, 30000);
  // What storing an answer on disk costs the child: click to feedback.
  const timed = await recordedDrill(page, "record-100k", [true, true, true, true, true]);
  figures.recordAnswerMs = timed.waits;
  note(`on disk, from the answer's click to its feedback, each answer stored first: ${timed.waits.join(", ")} ms`);
  await backToMenu(timed.screen);
  check((await askLater(page, { op: "eraseRecord" })).ok && await storedEntries(page) === 0, "the record erased before the 100,000");
  const seeded = await page.evaluate(async (name, storeName, n, bad) => {
    const usage = async () => {
      const e = await navigator.storage.estimate();
      return e.usageDetails && "indexedDB" in e.usageDetails ? e.usageDetails.indexedDB : e.usage;
    };
    const quota = (await navigator.storage.estimate()).quota;
    const before = await usage();
    const db = await new Promise((resolve, reject) => {
      const open = indexedDB.open(name);
      open.onupgradeneeded = () => open.result.createObjectStore(storeName, { autoIncrement: true });
      open.onsuccess = () => resolve(open.result);
      open.onerror = () => reject(open.error);
    });
    // Drills of 30 like the program's, ten a day from 17:00 in Tokyo.
    const rows = [];
    const day0 = Date.UTC(2025, 3, 1, 8, 0, 0);
    for (let i = 0; i < n; ++i) {
      const drill = Math.floor(i / 30), q = i % 30 + 1;
      const at = day0 + Math.floor(drill / 10) * 86400000 + (drill % 10) * 600000 + q * 4000;
      const left = (i * 7) % 9 + 1, right = (i * 5) % 9 + 1, correct = i % 6 !== 0;
      const id = `${(0x10000000 + drill).toString(16)}-6d69-4d6f-8000-${String(drill).padStart(12, "0")}`;
      const typed = i === n - 1 ? "\uFEFF1\\t2" : String(correct ? left * right : left * right + 1);
      rows.push(["m1", id, at, 32400, 0, 4, 0, 30, 0, q, left, right, 3,
                 left * right, correct ? 1 : 0, 1500 + (i % 4000), typed].join("\t"));
    }
    const entries = rows.slice();
    for (const b of bad.slice().sort((a, b) => b.at - a.at))
      entries.splice(b.at, 0, b.value);
    const t0 = performance.now();
    await new Promise((resolve, reject) => {
      const tx = db.transaction(storeName, "readwrite");
      const store = tx.objectStore(storeName);
      for (const e of entries)
        store.add(e);
      tx.oncomplete = resolve;
      tx.onerror = () => reject(tx.error);
    });
    const writeMs = performance.now() - t0;
    db.close();
    const after = await usage();
    // The same rows in local storage: two bytes a character, about 5 MB a site.
    const text = rows.join("\n");
    let localStorageSays = "kept";
    try {
      localStorage.setItem("mimoran-size-probe", text);
    } catch (e) {
      localStorageSays = e.name;
    }
    localStorage.removeItem("mimoran-size-probe");
    return { bytes: after - before, quota, textBytes: 2 * text.length, localStorageSays, writeMs, last: rows.slice(-2) };
  }, RECORD_DB, RECORD_STORE, 100000, BAD_ENTRIES);
  figures.record100kBytes = seeded.bytes;
  figures.record100kLocalStorageBytes = seeded.textBytes;
  figures.record100kSeedMs = Math.round(seeded.writeMs);
  figures.record100kQuotaBytes = seeded.quota;
  // That they fit is proven by reading all of them back below; the browser's
  // estimate of their size is a figure only (it counts in its own time, and
  // was seen to say 0 just after the write).
  console.log(`-- 100,000 answers in IndexedDB: ${(seeded.bytes / 1e6).toFixed(1)} MB by the browser's estimate, ` +
              `of the site's ${(seeded.quota / 1e9).toFixed(1)} GB quota`);
  check(seeded.localStorageSays === "QuotaExceededError",
        `100,000 answers are ${(seeded.textBytes / 1e6).toFixed(1)} MB in local storage, which refuses them (${seeded.localStorageSays})`);

  const memoryBefore = (await recordOf(page, { read: false })).memoryBytes;
  const started = Date.now();
  const record = await recordOf(page, { last: 3 });
  const roundTrip = Date.now() - started;
  figures.record100kReadMs = record.readMs;
  figures.record100kHeldBytes = record.heldBytes;
  figures.record100kMemoryBytes = { before: memoryBefore, after: record.memoryBytes };
  console.log(`100,000 answers: ${(seeded.bytes / 1e6).toFixed(1)} MB in IndexedDB, read in ${record.readMs} ms ` +
              `(${roundTrip} ms round trip), ${(record.heldBytes / 1e6).toFixed(1)} MB held, ` +
              `program memory ${(memoryBefore / 1e6).toFixed(0)} -> ${(record.memoryBytes / 1e6).toFixed(0)} MB`);
  check(record.readable && record.count === 100000 && record.unreadable === BAD_ENTRIES.length,
        `100,000 answers read back, ${record.unreadable} entries not understood counted (${record.count} read)`);
  const [, a, last] = record.last;
  const fields = seeded.last[0].split("\t");
  check(a.drill === fields[1] && a.ms === Number(fields[2]) && a.at.endsWith("+09:00") && a.left === Number(fields[10]) &&
        a.right === Number(fields[11]) && a.operation === 3 && a.questionNo === Number(fields[9]) &&
        a.elapsedMs === Number(fields[15]) && a.typed === fields[16] && a.correct === (fields[14] === "1") &&
        a.problemCount === 30 && a.calcKind === 4 && !a.retry,
        `the rows read as they were stored (${JSON.stringify(a)})`);
  check(last.typed === "\uFEFF1\t2" && a.questionNo + 1 === last.questionNo && last.drill === a.drill,
        `an answer with a leading U+FEFF and a tab reads back whole (${JSON.stringify(last.typed)})`);
  check(record.readMs < 10000, `100,000 answers read within 10 s (${record.readMs} ms)`);
  check(await storedEntries(page) === 100000 + BAD_ENTRIES.length, "the entries not understood are left in place");

  const erased = await askLater(page, { op: "eraseRecord" });
  check(erased.ok && await storedEntries(page) === 0 && (await recordOf(page)).count === 0, "erasing empties the record");
  await page.close();
  await server.close();
}

// The parent's view, from the settings screen: it shows the drills, stays
// on the page, and writes the record out as a CSV download.
async function recordView(page, browser, record) {
  const screen = new Screen(page, "record-view");
  await screen.click("Setei", "Command2"); // 学習の記録
  const view = await waitForWindow(screen, "Kiroku");
  await sleep(300);
  const img = await screen.shot();
  fs.writeFileSync(path.join(out, "web-record.png"), px.encode(img, { x: 0, y: 0, w: img.width, h: img.height }));
  // Checked at the end of the run: a view too large for the page is one
  // fault, and should not hide the rest.
  const outside = await windowsInside(page, ["Kiroku", "Setei"]);
  const onPage = { ok: outside.length === 0,
                   what: `the record's view whole on the page (${Math.round(view.w)}x${Math.round(view.h)}) ${outside.join("; ")}` };
  const table = await control(page, "Kiroku", "DrillTable");
  const counts = table.cells.map(row => row.slice(3, 7).join("/"));
  check(table.rows === 3 && counts.join(" ") === "3/2/1/67 2/2/0/100 3/2/1/67",
        `the view lists the three drills, newest first (${counts.join(" ")})`);
  check(table.cells[1][1].includes("やり直し"), `the retry marked as one (${table.cells[1][1]})`);

  const downloads = fs.mkdtempSync(path.join(out, "download-"));
  const cdp = await browser.target().createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
  await screen.click("Kiroku", "Export");
  const end = Date.now() + 15000;
  let files = [];
  while ((files = fs.readdirSync(downloads).filter(f => !f.endsWith(".crdownload"))).length === 0) {
    if (Date.now() > end)
      await screen.fail("no download from 書き出す");
    await sleep(100);
  }
  await sleep(200);
  const bytes = fs.readFileSync(path.join(downloads, files[0]));
  const lines = bytes.toString("utf8").split("\r\n").filter(l => l);
  check(/^学習の記録_\d{8}\.csv$/.test(files[0]), `the download is named ${files[0]}`);
  check(bytes[0] === 0xef && bytes[1] === 0xbb && bytes[2] === 0xbf, "the CSV starts with the UTF-8 byte order mark");
  const drills = [...new Set(record.last.map(r => r.drill))];
  check(lines.length === 1 + 8 && drills.every(d => lines.filter(l => l.includes(d)).length >= 2),
        `the CSV holds a header and the 8 answers of the three drills (${lines.length} lines)`);

  // A worksheet, from the fourth page: downloaded as a PDF of two pages,
  // read back by poppler as a viewer would.
  // The page of practice and worksheets, by the tabs' arrow keys.
  await screen.click("Kiroku", "TabBar");
  for (let i = 0; i < 8 && !(await control(page, "Kiroku", "MakeSheet"))?.visible; ++i)
    await screen.key("ArrowRight");
  await screen.at("Kiroku", "MakeSheet");
  const number = (await screen.text("Kiroku", "SheetNumber")).padStart(5, "0");
  await screen.click("Kiroku", "MakeSheet");
  const sheetEnd = Date.now() + 20000;
  let sheets = [];
  while ((sheets = fs.readdirSync(downloads).filter(f => f.endsWith(".pdf"))).length === 0) {
    if (Date.now() > sheetEnd)
      await screen.fail("no download from プリントを作る");
    await sleep(100);
  }
  await sleep(300);
  const sheet = path.join(downloads, sheets[0]);
  check(sheets[0] === `計算プリント_九九（全て）_${number}.pdf`, `the worksheet is named ${sheets[0]}`);
  const pdf = name => execFileSync(name, name === "pdftotext" ? ["-layout", sheet, "-"] : [sheet]).toString("utf8");
  const pages = (pdf("pdfinfo").match(/Pages:\s+(\d+)/) || [])[1];
  const embedded = pdf("pdffonts").split("\n").slice(2).filter(l => l.trim());
  const text = pdf("pdftotext").replace(/[\s\u3000]/g, "");
  const numbered = text.match(/\(\d+\)/g) || [];
  check(pages === "2" && embedded.length > 0 && embedded.every(l => l.trim().split(/\s+/).at(-5) === "yes"),
        `the worksheet: ${pages} pages, ${embedded.length} faces, all embedded`);
  check(text.startsWith("計算プリント九九（全て）") && text.includes("こたえ") && numbered.length === 60 &&
        /\(1\)[１-９]×[１-９]＝/.test(text), `the worksheet's 30 problems and their answers read back (${numbered.length} numbers)`);
  await screen.click("Kiroku", "CloseButton");
  await waitForWindowGone(screen, "Kiroku");
  return onPage;
}

async function closeSettings(screen) {
  await screen.waitFor(SETTINGS);
  await screen.click("Setei", "Command1"); // 設定完了
  await screen.waitFor(MENU);
}

// The settings store's contract (tests/unit/store-contract.json, the rows every
// backend passes) against the page's storage, in a profile of its own.
async function storeContract(browser, server) {
  const contract = JSON.parse(fs.readFileSync(new URL("../unit/store-contract.json", import.meta.url)));
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

// --- Loads over a school line -------------------------------------------------

// 10 Mbit/s, and 40 ms before each request's answer begins.
const LINE = { bitsPerSecond: 10e6, latencyMs: 40 };
// What the line alone allows for a load of so many bytes: carrying them, and
// the two round trips before the program's files flow (the page, then the
// files it names).
const lineLimitMs = bytes => bytes * 8 / LINE.bitsPerSecond * 1000 + 2 * LINE.latencyMs;

// Runs in the page: when the menu was first drawn, in the page's time from
// the navigation's start. The program is asked at every frame whether the
// menu is shown; it counts once the frame after that has been drawn. (A
// screenshot every few frames, as Screen takes them, would itself cost most
// of the time on a slowed processor.)
function watchForMenu() {
  const poll = () => {
    try {
      if (window.mimoran && window.mimoran.running) {
        window.mimoran.request = { op: "widget", window: "Mess01" };
        window.mimoran.loader.module()._mimoran_automation();
        if (window.mimoran.reply && window.mimoran.reply.visible) {
          requestAnimationFrame(() => requestAnimationFrame(() => { window.menuDrawnAt = performance.now(); }));
          return;
        }
      }
    } catch (e) {
      // the program's runtime is not up yet
    }
    requestAnimationFrame(poll);
  };
  requestAnimationFrame(poll);
}

// A new profile over the school line with the processor slowed `rate` times:
// the first load (nothing cached), then a reload from the offline copy.
async function loadsOverLine(browser, server, label, rate, { second = true } = {}) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
    await page.evaluateOnNewDocument(watchForMenu);
    const cdp = await page.createCDPSession();
    await cdp.send("Network.enable");
    await cdp.send("Network.emulateNetworkConditions", { offline: false, latency: LINE.latencyMs,
      downloadThroughput: LINE.bitsPerSecond / 8, uploadThroughput: LINE.bitsPerSecond / 8 });
    await cdp.send("Emulation.setCPUThrottlingRate", { rate });
    const menuDrawn = async () => {
      await page.waitForFunction(() => window.menuDrawnAt, { timeout: 120000, polling: 100 });
      const at = await page.evaluate(() => window.menuDrawnAt);
      // What the program said is what the page shows.
      await new Screen(page, label).waitFor(MENU, 10000);
      return Math.round(at);
    };
    const before = server.bytesSent();
    await page.goto(server.url, { waitUntil: "domcontentloaded" });
    const firstMs = await menuDrawn();
    const bytes = server.bytesSent() - before;
    if (!second)
      return { firstMs, bytes };
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 30000 });
    const copied = server.bytesSent();
    await page.reload({ waitUntil: "domcontentloaded" });
    const secondMs = await menuDrawn();
    check(server.bytesSent() - copied < 100 * 1024, `${label}: the second load comes from the copy`);
    return { firstMs, bytes, secondMs };
  } finally {
    await context.close();
  }
}

// The first and second load over the school line, at full speed and on a
// processor slowed four times (a low-cost Chromebook), each held against what
// the line itself allows; and the first load from a server with gzip alone.
// Each is held to twice what is aimed at (2.5 MB, 1.5 and 2.5 times the
// line, 1 s and 2.5 s for the second load), not less: on the shared 2-core
// machine the same build measured up to 1.4 times its quietest figures.
// bench/README.md keeps the figures.
async function schoolLine(browser, server, site, figures) {
  const full = await loadsOverLine(browser, server, "school-line", 1);
  const slow = await loadsOverLine(browser, server, "school-line-4x", 4);
  const gzipServer = await serve(site, 0, { brotli: false });
  let gzip;
  try {
    gzip = await loadsOverLine(browser, gzipServer, "school-line-gzip", 1, { second: false });
  } finally {
    await gzipServer.close();
  }
  const limit = lineLimitMs(full.bytes);
  const ratio = ms => Math.round(100 * ms / limit) / 100;
  figures.schoolLine = {
    lineLimitMs: Math.round(limit),
    bytes: full.bytes,
    firstMs: full.firstMs, firstRatio: ratio(full.firstMs),
    firstSlowedMs: slow.firstMs, firstSlowedRatio: ratio(slow.firstMs),
    secondMs: full.secondMs, secondSlowedMs: slow.secondMs,
    gzipBytes: gzip.bytes, gzipLineLimitMs: Math.round(lineLimitMs(gzip.bytes)), gzipFirstMs: gzip.firstMs,
    gzipFirstRatio: Math.round(100 * gzip.firstMs / lineLimitMs(gzip.bytes)) / 100,
  };
  const f = figures.schoolLine;
  check(f.bytes <= 2.5e6, `school line: first load ${f.bytes} bytes with Brotli (at most 2.5 MB)`);
  check(f.bytes < f.gzipBytes, `school line: Brotli sends less than gzip (${f.bytes} < ${f.gzipBytes} bytes)`);
  check(f.firstRatio <= 2 * 1.5, `school line: menu after ${f.firstMs} ms, ${f.firstRatio}x the line's ${f.lineLimitMs} ms`);
  check(f.firstSlowedRatio <= 2 * 2.5,
        `school line, slowed 4x: menu after ${f.firstSlowedMs} ms, ${f.firstSlowedRatio}x the line's ${f.lineLimitMs} ms`);
  check(f.secondMs <= 2 * 1000, `school line: second load, menu after ${f.secondMs} ms`);
  check(f.secondSlowedMs <= 2 * 2500, `school line, slowed 4x: second load, menu after ${f.secondSlowedMs} ms`);
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
    // One round alone, to look at it.
    const rounds = { fit: everyScreenWhole, children: childrenTwoTabs, grid: spartanGridOutlivesPage };
    if (rounds[option("only")]) {
      await rounds[option("only")](browser, server);
      console.log(`${checks} passed, 0 failed`);
      return;
    }
    const page = await browser.newPage();
    await page.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
    page.on("pageerror", e => console.log("page error:", e.message));

    // First load: nothing cached.
    const first = await firstLoad(page, server);
    figures.firstLoadBytes = first.bytes;
    figures.firstLoadMs = first.menuMs;
    fs.writeFileSync(path.join(out, "web-menu.png"), px.encode(first.img, frameAround(first.img, first.rect)));
    check(first.bytes <= 2.5e6, `first load within 2.5 MB (${first.bytes} bytes sent)`);
    await checkMenuText(new Screen(page, "menu"), first.img, first.rect);
    check(await page.evaluate(() => window.mimoran.scale === 1), "no scaling on a large page");

    const drillsFrom = Date.now();
    await drill(page);
    await keyboardDrill(page, "keyboard", t => page.keyboard.type(t, { delay: 10 }), t => t);

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
    // Read back through the program after the reload.
    const kept = await recordOf(page, { last: 8 });
    checkDrillRows(kept, drillsFrom, "after a reload");
    check(kept.location === "このブラウザー（このサイトの保存領域）", `the record's place for the parent: ${kept.location}`);

    const entered = await passwordRound(page, PASSWORD_TEXT);
    check(entered.label === ASK_PASSWORD, "after the reload the form asks for the password");
    check(entered.message === "パスワードを認識しました", `recognised ("${entered.message}")`);
    const viewOnPage = await recordView(page, browser, kept);
    await closeSettings(entered.screen);

    // No network: the copy alone starts the program.
    await server.close();
    await page.reload({ waitUntil: "domcontentloaded" });
    const offline = await new Screen(page, "offline").waitFor(MENU, 30000);
    check(offline.rect.w === 641, "starts with the server gone (from the service worker's copy)");
    checkDrillRows(await recordOf(page, { last: 8 }), drillsFrom, "offline");
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
    await recordTwoTabs(browser, server);
    await childrenTwoTabs(browser, server);
    await spartanOutlivesPage(browser, server);
    await spartanGridOutlivesPage(browser, server);
    await recordRefused(browser, server);
    await record100k(browser, figures);

    // The Japanese input method on: a whole drill by composition, and a
    // password composed, registered and recognised after a reload.
    {
      const context = await browser.createBrowserContext();
      const ime = await context.newPage();
      await ime.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
      await ime.goto(server.url, { waitUntil: "domcontentloaded" });
      await new Screen(ime, "ime").waitFor(MENU, 30000);
      await keyboardDrill(ime, "input method", imeEntry(ime), wide);
      const secret = "ひみつ１２";
      const registered = await passwordRound(ime, secret, imeEntry(ime));
      check(registered.message === "パスワードの初期設定が完了しました", `input method: password registered ("${registered.message}")`);
      await closeSettings(registered.screen);
      check(await ime.evaluate(k => localStorage.getItem(k), STORE_KEY) === secret, "input method: the composed password kept");
      await ime.reload({ waitUntil: "domcontentloaded" });
      await new Screen(ime, "ime-reload").waitFor(MENU, 30000);
      const entered = await passwordRound(ime, secret, imeEntry(ime));
      check(entered.message === "パスワードを認識しました", `input method: recognised after a reload ("${entered.message}")`);
      await context.close();
    }
    // The same check with the page's text handling taken away must fail.
    {
      const context = await browser.createBrowserContext();
      const bare = await context.newPage();
      await bare.setViewport({ width: 1024, height: 640, deviceScaleFactor: 1 });
      await bare.evaluateOnNewDocument(() => {
        const add = EventTarget.prototype.addEventListener;
        EventTarget.prototype.addEventListener = function (type, listener, options) {
          const textEvent = /^(composition|beforeinput$|input$)/.test(type);
          if ((this instanceof HTMLInputElement && this.id === "mimoran-text" && textEvent) ||
              (this === window && /^key/.test(type) && options === true))
            return;
          return add.call(this, type, listener, options);
        };
      });
      await bare.goto(server.url, { waitUntil: "domcontentloaded" });
      check(!(await composedCountReaches(bare)), "without the page's text handling a composed count is lost (the check bites)");
      await context.close();
    }

    for (const tablet of TABLETS)
      await tabletDrill(browser, server, tablet);
    await turnedTablet(browser, server);
    await everyScreenWhole(browser, server);

    // A small page: everything drawn smaller, nothing cut off.
    const small = await browser.newPage();
    await small.setViewport({ width: 480, height: 360, deviceScaleFactor: 1 });
    await small.goto(server.url, { waitUntil: "domcontentloaded" });
    const smallScreen = new Screen(small, "small");
    const { img, rect } = await smallScreen.waitFor(MENU, 30000);
    const s = await smallScreen.scale();
    fs.writeFileSync(path.join(out, "web-menu-small.png"), px.encode(img, { x: 0, y: 0, w: img.width, h: img.height }));
    console.log("small page: menu at", JSON.stringify(rect));
    // The frame (4 pixels, 26 on top) shrinks with the rest.
    check(s < 1 && rect.x - 4 * s >= 0 && rect.y - 26 * s >= 0 && rect.x + rect.w + 4 * s <= img.width &&
          rect.y + rect.h + 4 * s <= img.height, `small page: menu scaled by ${s} and whole`);

    await schoolLine(browser, server, site, figures);

    check(viewOnPage.ok, viewOnPage.what);
  } finally {
    await browser.close();
    await server.close();
  }

  const kb = n => (n / 1024).toFixed(0);
  console.log(`first load: ${kb(figures.firstLoadBytes)} KiB sent, menu shown after ${figures.firstLoadMs} ms`);
  console.log(`second load: ${kb(figures.secondLoadBytes)} KiB sent, menu shown after ${figures.secondLoadMs} ms`);
  const line = figures.schoolLine;
  if (line) {
    console.log(`school line (10 Mbit/s, 40 ms), menu drawn after (as a multiple of what the line allows):`);
    console.log(`  first load, Brotli: ${kb(line.bytes)} KiB, line ${line.lineLimitMs} ms; ` +
                `${line.firstMs} ms (${line.firstRatio}x), slowed 4x ${line.firstSlowedMs} ms (${line.firstSlowedRatio}x)`);
    console.log(`  first load, gzip only: ${kb(line.gzipBytes)} KiB, line ${line.gzipLineLimitMs} ms; ` +
                `${line.gzipFirstMs} ms (${line.gzipFirstRatio}x)`);
    console.log(`  second load: ${line.secondMs} ms, slowed 4x ${line.secondSlowedMs} ms`);
  }
  fs.writeFileSync(path.join(out, "figures.json"), JSON.stringify(figures, null, 2) + "\n");
  console.log(`${checks} passed, 0 failed`);
}

main().catch(e => {
  console.error(e.stack || String(e));
  console.log(`${checks} passed, 1 failed`);
  process.exit(1);
});
