// Times the 3D view of a mesh page in headless Chromium with software WebGL (SwiftShader):
//   node view_frames.mjs <folder holding node_modules/puppeteer-core> <page.html> [frames]
// Prints the time from opening the page to a drawn view, the time per frame while the mesh turns
// and per still frame once it rests (each frame drawn and waited for), and the sizes of the
// page, its model script and the glTF binary in it.
import { createRequire } from 'node:module';
import { mkdtemp, readFile, rm, stat } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const [installFolder, pageFile, framesText] = process.argv.slice(2);
if (!installFolder || !pageFile) {
  console.error('usage: node view_frames.mjs <puppeteer folder> <page.html> [frames]');
  process.exit(2);
}
const frames = Number(framesText || 20);
const puppeteer = createRequire(path.join(path.resolve(installFolder), 'package.json'))('puppeteer-core');
const profile = await mkdtemp(path.join(tmpdir(), 'view-frames-'));
const browser = await puppeteer.launch({
  executablePath: process.env.KX_CHROMIUM || '/usr/bin/chromium',
  headless: true,
  protocolTimeout: 600000,
  args: ['--headless', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
    `--user-data-dir=${profile}`],
});
const page = await browser.newPage();
await page.setViewport({ width: 1280, height: 900 });
const begin = Date.now();
await page.goto(pathToFileURL(path.resolve(pageFile)).href, { waitUntil: 'load', timeout: 600000 });
await page.waitForSelector('section.view3d[data-state=ready]', { timeout: 600000 });
const ready = Date.now() - begin;
// Frames in motion (what a drag shows) and still frames (what the view shows once it rests).
const times = await page.evaluate(async (count) => {
  const view = window.meshGalleryView;
  await new Promise((done) => setTimeout(done, 1000));  // the coarse copy of a large model is made
  const moving = [], still = [];
  view.drawNow(true);
  for (let i = 0; i < count; i++) {
    view.turn(6, 0);
    moving.push(view.drawNow(true));
  }
  for (let i = 0; i < Math.min(count, 5); i++) {
    view.turn(6, 0);
    still.push(view.drawNow(false));
  }
  return { moving, still };
}, frames);
const canvas = await page.$eval('section.view3d canvas', (c) => `${c.width} x ${c.height}`);
await browser.close();
await rm(profile, { recursive: true, force: true });

const median = (list) => list.sort((a, b) => a - b)[list.length >> 1].toFixed(0);
const model = path.join(pageFile.replace(/\.html$/, ''), 'model.js');
const script = await readFile(model, 'latin1');
const glb = Buffer.from(script.slice(script.indexOf('"glb": "') + 8, script.indexOf('",', script.indexOf('"glb": "'))), 'base64');
const pageSize = (await stat(pageFile)).size, modelSize = script.length;
const mb = (n) => (n / 1e6).toFixed(1);
console.log(`     page opened to view drawn: ${ready} ms; canvas ${canvas}`);
console.log(`     per frame while turning: median ${median(times.moving)} ms (${frames} frames), ` +
  `fastest ${times.moving[0].toFixed(0)} ms, slowest ${times.moving[times.moving.length - 1].toFixed(0)} ms`);
console.log(`     per still frame (every triangle, supersampled): median ${median(times.still)} ms`);
console.log(`     page ${mb(pageSize)} MB + model script ${mb(modelSize)} MB = ${mb(pageSize + modelSize)} MB; ` +
  `glTF binary ${mb(glb.length)} MB (${((pageSize + modelSize) / glb.length).toFixed(2)} x)`);
