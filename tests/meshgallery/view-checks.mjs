// The 3D view of a mesh page, checked in the browser by what it draws (browser.mjs calls these).
// Every mesh page's view must draw its mesh: the canvas is no blank, and the shape it draws
// matches the still picture from the same angle. On the pages named in the expectations' "views",
// the view is also used as a user would: a drag turns it (screenshots before and after are kept),
// the wheel zooms and a Shift-drag pans; a click on an object entry highlights that object and
// dims the rest; a click on the object in the view marks its entry and scrolls it into sight; a
// click on a mesh's heading highlights that mesh.
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { inflateSync } from 'node:zlib';

const BACKGROUND = 245;

// A PNG file (8-bit grey, RGB or RGBA, not interlaced) as {width, height, rgba}.
function decodePng(bytes) {
  let at = 8, width = 0, height = 0, channels = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at), type = bytes.toString('latin1', at + 4, at + 8);
    const chunk = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = chunk.readUInt32BE(0);
      height = chunk.readUInt32BE(4);
      if (chunk[8] !== 8 || chunk[12] !== 0) throw new Error('only 8-bit, not interlaced PNG files are read here');
      channels = { 0: 1, 2: 3, 4: 2, 6: 4 }[chunk[9]];
      if (!channels) throw new Error(`PNG colour type ${chunk[9]} is not read here`);
    } else if (type === 'IDAT') {
      data.push(chunk);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels, rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; x++) {
      const value = raw[y * (stride + 1) + 1 + x];
      const left = x >= channels ? rows[y * stride + x - channels] : 0;
      const up = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const corner = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = left;
      else if (filter === 2) predicted = up;
      else if (filter === 3) predicted = (left + up) >> 1;
      else if (filter === 4) {
        const p = left + up - corner, pa = Math.abs(p - left), pb = Math.abs(p - up), pc = Math.abs(p - corner);
        predicted = pa <= pb && pa <= pc ? left : pb <= pc ? up : corner;
      }
      rows[y * stride + x] = (value + predicted) & 255;
    }
  }
  const rgba = Buffer.alloc(width * height * 4);
  for (let i = 0; i < width * height; i++) {
    const c = rows.subarray(i * channels, (i + 1) * channels);
    const grey = channels <= 2;
    rgba[i * 4] = c[0];
    rgba[i * 4 + 1] = grey ? c[0] : c[1];
    rgba[i * 4 + 2] = grey ? c[0] : c[2];
    rgba[i * 4 + 3] = channels === 4 ? c[3] : channels === 2 ? c[1] : 255;
  }
  return { width, height, rgba };
}

// What a picture shows: which pixels differ from the background, their share, box and centre.
function shape(picture) {
  const { width, height, rgba } = picture;
  const mask = new Uint8Array(width * height);
  let count = 0, sx = 0, sy = 0, x0 = width, y0 = height, x1 = -1, y1 = -1;
  for (let y = 0; y < height; y++) {
    for (let x = 0; x < width; x++) {
      const i = y * width + x;
      const off = Math.abs(rgba[i * 4] - BACKGROUND) + Math.abs(rgba[i * 4 + 1] - BACKGROUND) +
        Math.abs(rgba[i * 4 + 2] - BACKGROUND);
      if (off <= 30) continue;
      mask[i] = 1;
      count++;
      sx += x;
      sy += y;
      x0 = Math.min(x0, x); y0 = Math.min(y0, y); x1 = Math.max(x1, x); y1 = Math.max(y1, y);
    }
  }
  return { mask, width, height, share: count / (width * height), count,
    centre: count ? [sx / count, sy / count] : null, box: count ? [x0, y0, x1, y1] : null };
}

// How well two shapes agree once each is scaled to its own box: intersection over union of
// the two masks sampled on one grid over their boxes (1 is the same shape).
function silhouetteMatch(a, b) {
  if (!a.box || !b.box) return 0;
  const grid = 64;
  let both = 0, either = 0;
  for (let gy = 0; gy < grid; gy++) {
    for (let gx = 0; gx < grid; gx++) {
      const sample = (s) => {
        const x = Math.round(s.box[0] + (gx + 0.5) / grid * (s.box[2] - s.box[0]));
        const y = Math.round(s.box[1] + (gy + 0.5) / grid * (s.box[3] - s.box[1]));
        return s.mask[y * s.width + x];
      };
      const inA = sample(a), inB = sample(b);
      if (inA && inB) both++;
      if (inA || inB) either++;
    }
  }
  return either ? both / either : 0;
}

// Pixels in the highlight's hue (235, 90, 30 under any shade), and how far the rest stand out
// from the background on average.
function colours(picture) {
  const { width, height, rgba } = picture;
  let highlighted = 0, hx = 0, hy = 0, rest = 0, contrast = 0;
  for (let i = 0; i < width * height; i++) {
    const r = rgba[i * 4], g = rgba[i * 4 + 1], b = rgba[i * 4 + 2];
    const off = Math.abs(r - BACKGROUND) + Math.abs(g - BACKGROUND) + Math.abs(b - BACKGROUND);
    if (off <= 30) continue;
    if (r >= 60 && g >= 0.25 * r && g <= 0.5 * r && b <= 0.22 * r) {
      highlighted++;
      hx += i % width;
      hy += Math.floor(i / width);
    } else {
      rest++;
      contrast += off;
    }
  }
  return { highlighted, centre: highlighted ? [hx / highlighted, hy / highlighted] : null,
    contrast: rest ? contrast / rest : 0 };
}

// The canvas's drawing area in the window, in CSS pixels, a little inside its rounded border.
async function canvasArea(page) {
  return page.$eval('section.view3d canvas', (c) => {
    const r = c.getBoundingClientRect(), inset = 4;
    return { x: r.left + c.clientLeft + inset, y: r.top + c.clientTop + inset, width: c.clientWidth - 2 * inset,
      height: c.clientHeight - 2 * inset };
  });
}

// The view's pixels in `area`, once the still frame after the last event is drawn (frames in
// motion follow each other until the view rests for a moment).
async function snapshot(page, area, file) {
  await new Promise((done) => setTimeout(done, 250));
  await page.waitForSelector('section.view3d[data-frame=still]', { timeout: 60000 });
  const scroll = await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(
    () => done({ x: window.scrollX, y: window.scrollY })))));
  const clip = { x: area.x + scroll.x, y: area.y + scroll.y, width: area.width, height: area.height };
  const png = await page.screenshot({ clip, ...(file ? { path: file } : {}) });
  return decodePng(Buffer.from(png));
}

async function entryState(page, selector) {
  return page.$eval(selector, (e) => {
    const r = e.getBoundingClientRect();
    return { picked: e.classList.contains('picked'), inSight: r.top >= 0 && r.bottom <= window.innerHeight + 1 };
  }).catch(() => ({ picked: false, inSight: false }));
}

function changedPixels(a, b) {
  let changed = 0;
  for (let i = 0; i < a.width * a.height; i++) {
    const off = Math.abs(a.rgba[i * 4] - b.rgba[i * 4]) + Math.abs(a.rgba[i * 4 + 1] - b.rgba[i * 4 + 1]) +
      Math.abs(a.rgba[i * 4 + 2] - b.rgba[i * 4 + 2]);
    if (off > 30) changed++;
  }
  return changed;
}

function inMiddle(s, area) {
  return s.centre && Math.abs(s.centre[0] - area.width / 2) < area.width / 4 &&
    Math.abs(s.centre[1] - area.height / 2) < area.height / 4;
}

async function drag(page, from, to, withShift) {
  if (withShift) await page.keyboard.down('Shift');
  await page.mouse.move(from.x, from.y);
  await page.mouse.down();
  for (let step = 1; step <= 8; step++)
    await page.mouse.move(from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8);
  await page.mouse.up();
  if (withShift) await page.keyboard.up('Shift');
}

// Checks the view of an opened mesh page. `still` is the page's picture from the pictures'
// angle; `use` what to try on it ({object: "<g> <m> <v>", mesh: "<g> <m>"}), or null.
export async function checkView(page, { label, still, use, shotBase, check }) {
  const state = await page.waitForSelector('section.view3d[data-state=ready]', { timeout: 120000 })
    .then(() => 'ready')
    .catch(async () => page.$eval('section.view3d', (s) => `${s.getAttribute('data-state')}: ${s.textContent}`)
      .catch(() => 'no 3D view on the page'));
  check(state === 'ready', `${label}: the 3D view is not ready (${state})`);
  if (state !== 'ready') return;
  const area = await canvasArea(page);
  const startPicture = await snapshot(page, area, use ? `${shotBase}-view-before.png` : null);
  const start = shape(startPicture);
  check(start.share > 0.01, `${label}: the 3D view is blank (${(start.share * 100).toFixed(2)} % of its pixels drawn)`);
  const match = silhouetteMatch(start, shape(decodePng(await readFile(still))));
  check(match > 0.65, `${label}: the 3D view's shape matches the picture ${path.basename(still)} only ${match.toFixed(2)}`);
  console.log(`${label}: the 3D view draws ${(start.share * 100).toFixed(1)} % of its pixels, its shape matches the ` +
    `picture ${match.toFixed(2)}`);
  if (!use) return;

  // A drag turns the mesh, which stays in view.
  const middle = { x: area.x + area.width / 2, y: area.y + area.height / 2 };
  await drag(page, middle, { x: middle.x + 120, y: middle.y + 30 }, false);
  const turnedPicture = await snapshot(page, area, `${shotBase}-view-after.png`);
  const turned = shape(turnedPicture);
  const changed = changedPixels(startPicture, turnedPicture);
  check(changed > 0.3 * start.count, `${label}: a drag changed ${changed} pixels of the view, the mesh covers ${start.count}`);
  check(turned.share > 0.3 * start.share && inMiddle(turned, area),
    `${label}: after a drag the mesh left the middle of the view (${JSON.stringify(turned.centre)})`);

  // The wheel zooms in; a Shift-drag moves the mesh along.
  await page.click('section.view3d .view-reset');
  await page.mouse.move(middle.x, middle.y);
  await page.mouse.wheel({ deltaY: -300 });
  const zoomed = shape(await snapshot(page, area));
  check(zoomed.count > 1.2 * start.count, `${label}: the wheel did not zoom in (${start.count} pixels, then ${zoomed.count})`);
  await page.click('section.view3d .view-reset');
  await drag(page, middle, { x: middle.x + 80, y: middle.y }, true);
  const panned = shape(await snapshot(page, area));
  check(panned.centre && panned.centre[0] > start.centre[0] + 40,
    `${label}: a Shift-drag did not move the mesh to the right (${start.centre[0]} to ${panned.centre && panned.centre[0]})`);
  await page.click('section.view3d .view-reset');

  // A click on an object entry highlights that object and dims the rest.
  const before = colours(await snapshot(page, area));
  const objectEntry = `[data-object="${use.object}"]`;
  await page.click(`${objectEntry} dl`);
  const afterPicture = await snapshot(page, area, `${shotBase}-view-picked.png`);
  const after = colours(afterPicture);
  check(after.highlighted >= Math.max(50, 0.01 * start.count) && after.highlighted > 5 * before.highlighted,
    `${label}: clicking object ${use.object} highlights ${after.highlighted} pixels (${before.highlighted} before)`);
  check(after.contrast < 0.6 * before.contrast,
    `${label}: clicking object ${use.object} does not dim the rest (contrast ${before.contrast.toFixed(1)}, then ${after.contrast.toFixed(1)})`);
  check((await entryState(page, objectEntry)).picked, `${label}: the entry of object ${use.object} is not marked as picked`);

  // A click on that object in the view picks it and scrolls its entry into sight.
  if (after.centre) {
    const { rgba, width } = afterPicture;
    let best = null;
    for (let i = 0; i < rgba.length / 4; i++) {
      const r = rgba[i * 4], g = rgba[i * 4 + 1], b = rgba[i * 4 + 2];
      if (!(r >= 60 && g >= 0.25 * r && g <= 0.5 * r && b <= 0.22 * r)) continue;
      const x = i % width, y = Math.floor(i / width);
      const d = (x - after.centre[0]) ** 2 + (y - after.centre[1]) ** 2;
      if (!best || d < best.d) best = { x, y, d };
    }
    await page.keyboard.press('Escape');
    await page.evaluate(() => window.scrollTo(0, 0));
    check(!(await entryState(page, objectEntry)).picked, `${label}: Escape leaves object ${use.object} picked`);
    await page.mouse.click(area.x + best.x + 0.5, area.y + best.y + 0.5);
    await snapshot(page, area);
    const entry = await entryState(page, objectEntry);
    check(entry.picked && entry.inSight,
      `${label}: a click on object ${use.object} in the view leaves its entry ${entry.picked ? 'out of sight' : 'unmarked'}`);
  }

  // A click on a mesh's heading highlights that mesh.
  if (use.mesh) {
    const [group, mesh] = use.mesh.split(' ');
    await page.keyboard.press('Escape');
    const plain = colours(await snapshot(page, area));
    await page.click(`#g${group}m${mesh} > h3`);
    const picked = colours(await snapshot(page, area));
    check(picked.highlighted >= Math.max(50, 0.01 * start.count) && picked.highlighted > 5 * plain.highlighted,
      `${label}: clicking mesh ${use.mesh} highlights ${picked.highlighted} pixels (${plain.highlighted} before)`);
    check((await entryState(page, `#g${group}m${mesh}`)).picked, `${label}: the entry of mesh ${use.mesh} is not marked as picked`);
  }
  // Left turned, with the last part picked, for the page's screenshot.
  await drag(page, middle, { x: middle.x - 70, y: middle.y + 25 }, false);
  await snapshot(page, area);
}
