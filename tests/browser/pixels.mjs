// What the test sees of the page: screenshots as pixels, windows found by
// their background colour, text found as ink.
import { PNG } from "pngjs";

export function decode(png) {
  const img = PNG.sync.read(png);
  return {
    width: img.width,
    height: img.height,
    data: img.data,
    rgb(x, y) {
      const i = 4 * (y * img.width + x);
      return [img.data[i], img.data[i + 1], img.data[i + 2]];
    },
  };
}

export function encode(img, rect) {
  const out = new PNG({ width: rect.w, height: rect.h });
  for (let y = 0; y < rect.h; ++y)
    img.data.copy(out.data, 4 * y * rect.w, 4 * ((rect.y + y) * img.width + rect.x), 4 * ((rect.y + y) * img.width + rect.x + rect.w));
  return PNG.sync.write(out);
}

// A rectangle in whole pixels, inside the picture.
export function rounded(r, img = null) {
  const x = Math.max(0, Math.floor(r.x)), y = Math.max(0, Math.floor(r.y));
  const right = img ? Math.min(img.width, Math.ceil(r.x + r.w)) : Math.ceil(r.x + r.w);
  const bottom = img ? Math.min(img.height, Math.ceil(r.y + r.h)) : Math.ceil(r.y + r.h);
  return { x, y, w: right - x, h: bottom - y };
}

function clip(img, r) {
  const x0 = Math.max(0, Math.round(r.x)), y0 = Math.max(0, Math.round(r.y));
  const x1 = Math.min(img.width, Math.round(r.x + r.w)), y1 = Math.min(img.height, Math.round(r.y + r.h));
  return { x0, y0, x1, y1 };
}

// The bounding box of every pixel of exactly this colour, or null.
export function colourBox(img, colour) {
  let x0 = Infinity, y0 = Infinity, x1 = -1, y1 = -1, count = 0;
  const [r, g, b] = colour;
  for (let y = 0; y < img.height; ++y)
    for (let x = 0; x < img.width; ++x) {
      const i = 4 * (y * img.width + x);
      if (img.data[i] === r && img.data[i + 1] === g && img.data[i + 2] === b) {
        ++count;
        if (x < x0) x0 = x;
        if (x > x1) x1 = x;
        if (y < y0) y0 = y;
        if (y > y1) y1 = y;
      }
    }
  return count ? { x: x0, y: y0, w: x1 - x0 + 1, h: y1 - y0 + 1, count } : null;
}

export function isDark(img, x, y) {
  const [r, g, b] = img.rgb(x, y);
  return 0.299 * r + 0.587 * g + 0.114 * b < 110;
}

// Pixels of text in the area: dark ones, or those far from the given
// background colour.
export function inkMask(img, r, background = null) {
  const { x0, y0, x1, y1 } = clip(img, r);
  const mask = [];
  for (let y = y0; y < y1; ++y) {
    const row = [];
    for (let x = x0; x < x1; ++x) {
      let on;
      if (background) {
        const [pr, pg, pb] = img.rgb(x, y);
        on = Math.abs(pr - background[0]) + Math.abs(pg - background[1]) + Math.abs(pb - background[2]) > 200;
      } else {
        on = isDark(img, x, y);
      }
      row.push(on ? 1 : 0);
    }
    mask.push(row);
  }
  return mask;
}

export function inkCount(mask) {
  return mask.reduce((sum, row) => sum + row.reduce((a, b) => a + b, 0), 0);
}

// The mask cut down to the box around its ink.
export function trimmed(mask) {
  let x0 = Infinity, y0 = Infinity, x1 = -1, y1 = -1;
  mask.forEach((row, y) => row.forEach((on, x) => {
    if (on) {
      x0 = Math.min(x0, x); x1 = Math.max(x1, x);
      y0 = Math.min(y0, y); y1 = Math.max(y1, y);
    }
  }));
  if (x1 < 0)
    return [];
  return mask.slice(y0, y1 + 1).map(row => row.slice(x0, x1 + 1));
}

// How many pixels two trimmed masks disagree on, the larger one's extra
// rows and columns counting as disagreement.
export function maskDistance(a, b) {
  const h = Math.max(a.length, b.length);
  const w = Math.max(a[0]?.length || 0, b[0]?.length || 0);
  let d = 0;
  for (let y = 0; y < h; ++y)
    for (let x = 0; x < w; ++x)
      d += ((a[y]?.[x] || 0) !== (b[y]?.[x] || 0)) ? 1 : 0;
  return d;
}

// Glyphs that did not resolve to a font are drawn as hollow boxes or not at
// all: then two different captions in the same face, size and place look the
// same. Returns the share of ink pixels where the two areas differ.
export function inkDifference(img, a, b, background = null) {
  const ma = inkMask(img, a, background), mb = inkMask(img, b, background);
  const ink = Math.max(1, inkCount(ma) + inkCount(mb));
  return maskDistance(ma, mb) / ink;
}

// Mean absolute channel difference of two same-sized areas (0..255).
export function areaDifference(imgA, a, imgB, b) {
  const w = Math.min(a.w, b.w), h = Math.min(a.h, b.h);
  let sum = 0;
  for (let y = 0; y < h; ++y)
    for (let x = 0; x < w; ++x) {
      const p = imgA.rgb(a.x + x, a.y + y), q = imgB.rgb(b.x + x, b.y + y);
      sum += Math.abs(p[0] - q[0]) + Math.abs(p[1] - q[1]) + Math.abs(p[2] - q[2]);
    }
  return sum / (3 * w * h);
}

// Mean brightness of each cell of a grid laid over the area, by area (each
// pixel weighted by how much of it is in the cell), so that one picture and
// the same picture at another size give nearly the same means.
function cellMeans(img, r, columns, rows) {
  const sums = new Float64Array(columns * rows), weights = new Float64Array(columns * rows);
  const cw = r.w / columns, ch = r.h / rows;
  const x0 = Math.floor(r.x), y0 = Math.floor(r.y);
  const x1 = Math.min(img.width, Math.ceil(r.x + r.w)), y1 = Math.min(img.height, Math.ceil(r.y + r.h));
  for (let y = Math.max(0, y0); y < y1; ++y) {
    const top = Math.max(y, r.y), bottom = Math.min(y + 1, r.y + r.h);
    for (let x = Math.max(0, x0); x < x1; ++x) {
      const left = Math.max(x, r.x), right = Math.min(x + 1, r.x + r.w);
      const i = 4 * (y * img.width + x);
      const value = 0.299 * img.data[i] + 0.587 * img.data[i + 1] + 0.114 * img.data[i + 2];
      // The pixel's share of each cell it lies in.
      for (let row = Math.floor((top - r.y) / ch); row < rows && r.y + row * ch < bottom; ++row) {
        const h = Math.min(bottom, r.y + (row + 1) * ch) - Math.max(top, r.y + row * ch);
        if (h <= 0)
          continue;
        for (let column = Math.floor((left - r.x) / cw); column < columns && r.x + column * cw < right; ++column) {
          const w = Math.min(right, r.x + (column + 1) * cw) - Math.max(left, r.x + column * cw);
          if (w <= 0)
            continue;
          sums[row * columns + column] += value * w * h;
          weights[row * columns + column] += w * h;
        }
      }
    }
  }
  return sums.map((s, k) => (weights[k] ? s / weights[k] : 0));
}

// A cell about 8 pixels of the smaller picture, and how far its brightness
// may move (0..255). Measured: a size change alone moves a cell by at most
// about 25; a line of text cut off or drawn too large, a button cut, by 60 to
// 200.
export const FIT_CELL = 8, FIT_LIMIT = 45;

// How far the picture of a window (img, r) is from its picture at another
// size (ref, rr): both are cut into the same grid of cells about `cell`
// pixels of the smaller picture wide, and each cell's mean brightness is
// compared. A size change alone moves a cell's mean a little (edges that
// fall on the other side of a cell's border); text or a button that is cut,
// missing or drawn at another size moves whole cells by the ink they hold.
// Returns the largest difference (0..255), the cell where it is, and how
// many cells differ by more than `limit`.
// Cells that touch `skip` (a part of the first picture that may differ by
// what it shows, in its pixels) are left out.
export function pictureDistance(img, r, ref, rr, { cell = FIT_CELL, limit = FIT_LIMIT, skip = null } = {}) {
  const small = r.w * r.h <= rr.w * rr.h ? r : rr;
  const columns = Math.max(1, Math.round(small.w / cell)), rows = Math.max(1, Math.round(small.h / cell));
  const a = cellMeans(img, r, columns, rows), b = cellMeans(ref, rr, columns, rows);
  const skipped = k => {
    if (!skip)
      return false;
    const cw = r.w / columns, ch = r.h / rows;
    const x = r.x + (k % columns) * cw, y = r.y + Math.floor(k / columns) * ch;
    return x < skip.x + skip.w && skip.x < x + cw && y < skip.y + skip.h && skip.y < y + ch;
  };
  let worst = 0, at = 0, over = 0;
  for (let k = 0; k < a.length; ++k) {
    if (skipped(k))
      continue;
    const d = Math.abs(a[k] - b[k]);
    if (d > worst) {
      worst = d;
      at = k;
    }
    if (d > limit)
      ++over;
  }
  return { worst, over, cells: a.length, column: at % columns, row: Math.floor(at / columns), columns, rows };
}
