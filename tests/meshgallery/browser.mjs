// Opens galleries made by meshgallery in a real browser (the system's Chromium, headless, driven
// by the npm package puppeteer-core) and checks what a user sees:
//   node browser.mjs <folder holding node_modules/puppeteer-core> <screenshot folder> <gallery>...
// Each gallery folder holds browser-expectations.json, written by the test that made it:
//   {"cards": n, "searches": [{"query": "...", "matches": ["name", ...]}], "hostileNames": ["text", ...],
//    "hostileTextures": ["text", ...],
//    "pages": {"<mesh name>": ["<group> <mesh> <first vertex>", ...]}, "screenshots": "<label>",
//    "views": {"<mesh name>": {"object": "<group> <mesh> <first vertex>", "mesh": "<group> <mesh>"}}}
// Every page opens from file:// with no other request, no console error and no script error;
// every picture loads; the cards are the meshes of the game; typing in the search box leaves the
// matching cards; sorting orders them; hostile names show as text and run nothing; each mesh page
// lists every object with meshlister's first vertices; its 3D view draws the mesh and does
// what a user asks of it (view-checks.mjs). A screenshot of the index and of each mesh page
// named is kept, and of the views named in "views" before and after a turn. Exits 0 when all
// holds, 1 when not, 2 when the browser cannot run.
import { createRequire } from 'node:module';
import { readFile, mkdir, mkdtemp, rm, stat } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { checkView } from './view-checks.mjs';

const [installFolder, shotFolder, ...galleries] = process.argv.slice(2);
if (!installFolder || !shotFolder || galleries.length === 0) {
  console.error('usage: node browser.mjs <puppeteer folder> <screenshot folder> <gallery>...');
  process.exit(2);
}
let puppeteer;
try {
  puppeteer = createRequire(path.join(path.resolve(installFolder), 'package.json'))('puppeteer-core');
} catch (e) {
  console.error(`puppeteer-core is not installed in ${installFolder} (scripts/test.sh installs it): ${e.message}`);
  process.exit(2);
}
const chromium = process.env.KX_CHROMIUM || '/usr/bin/chromium';
if (!(await stat(chromium).catch(() => null))) {
  console.error(`no Chromium at ${chromium} (scripts/test.sh installs Debian's chromium)`);
  process.exit(2);
}

let failures = 0;
let checks = 0;
function check(ok, what) {
  checks++;
  if (!ok) {
    failures++;
    console.log(`FAILED: ${what}`);
  }
}

const profile = await mkdtemp(path.join(tmpdir(), 'meshgallery-chromium-'));
const browser = await puppeteer.launch({
  executablePath: chromium,
  headless: true,
  // WebGL through SwiftShader, Chromium's software renderer: the same pictures on every machine.
  args: ['--headless', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-quic',
    '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`],
});

// A page that records every request that is no file:// one, every console error, every script
// error and every dialog (a hostile name that ran would open one).
async function openPage(file, label) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 900 });
  const problems = [];
  page.on('request', (r) => {
    if (!r.url().startsWith('file://') && !r.url().startsWith('data:')) problems.push(`request to ${r.url()}`);
  });
  page.on('requestfailed', (r) => problems.push(`request failed: ${r.url()} (${r.failure()?.errorText})`));
  page.on('console', (m) => { if (m.type() === 'error') problems.push(`console error: ${m.text()}`); });
  page.on('pageerror', (e) => problems.push(`script error: ${e.message}`));
  page.on('dialog', async (d) => { problems.push(`dialog opened: ${d.message()}`); await d.dismiss(); });
  await page.goto(pathToFileURL(file).href, { waitUntil: 'load' });
  // Pictures below the fold load lazily: ask for all of them, then wait for each.
  const pictures = await page.evaluate(async () => {
    const images = Array.from(document.images);
    images.forEach((img) => { img.loading = 'eager'; });
    await Promise.all(images.map((img) => img.decode().catch(() => {})));
    return images.map((img) => ({ src: img.getAttribute('src'), width: img.naturalWidth }));
  });
  for (const p of pictures) check(p.width > 0, `${label}: picture ${p.src} did not load`);
  return { page, problems, pictures };
}

function finish(label, opened) {
  for (const p of opened.problems) check(false, `${label}: ${p}`);
}

async function visibleCards(page) {
  return page.$$eval('[data-mesh].card', (cards) => cards.filter((c) => !c.hidden && c.offsetParent !== null)
    .map((c) => c.getAttribute('data-mesh')));
}

for (const gallery of galleries) {
  const expect = JSON.parse(await readFile(path.join(gallery, 'browser-expectations.json'), 'utf8'));
  const catalogue = JSON.parse(await readFile(path.join(gallery, 'catalogue.json'), 'utf8'));
  const label = expect.screenshots || path.basename(gallery);
  const index = await openPage(path.join(gallery, 'index.html'), `${label} index`);
  const { page } = index;

  const cards = await page.$$eval('[data-mesh].card', (c) => c.map((e) => e.getAttribute('data-mesh')));
  check(cards.length === expect.cards, `${label}: ${cards.length} cards, the game holds ${expect.cards} meshes`);
  check(cards.length === catalogue.meshes.length, `${label}: ${cards.length} cards, catalogue.json lists ${catalogue.meshes.length}`);
  check(JSON.stringify([...cards].sort()) === JSON.stringify(catalogue.meshes.map((m) => m.name).sort()),
    `${label}: the cards are not the meshes of catalogue.json`);
  check(await page.$$eval('input[type=search]', (s) => s.length) === 1, `${label}: not exactly one search box`);

  for (const search of expect.searches || []) {
    await page.click('input[type=search]', { clickCount: 3 });
    await page.keyboard.press('Backspace');
    await page.type('input[type=search]', search.query);
    const shown = (await visibleCards(page)).sort();
    check(JSON.stringify(shown) === JSON.stringify([...search.matches].sort()),
      `${label}: typing "${search.query}" shows ${JSON.stringify(shown)}, expected ${JSON.stringify(search.matches)}`);
  }
  await page.click('input[type=search]', { clickCount: 3 });
  await page.keyboard.press('Backspace');
  check((await visibleCards(page)).length === expect.cards, `${label}: an empty search does not show every card`);

  await page.select('select.sort', 'triangles');
  const triangles = await page.$$eval('[data-mesh].card', (c) => c.map((e) => Number(e.getAttribute('data-triangles'))));
  check(triangles.every((t, i) => i === 0 || triangles[i - 1] >= t), `${label}: sorting by triangles leaves them out of order`);
  await page.select('select.sort', 'name');
  const names = await page.$$eval('[data-mesh].card', (c) => c.map((e) => e.getAttribute('data-mesh').toLowerCase()));
  check(names.every((n, i) => i === 0 || names[i - 1] <= n), `${label}: sorting by name leaves them out of order`);

  for (const text of expect.hostileNames || []) {
    const shownAsText = await page.evaluate((t) => Array.from(document.querySelectorAll('[data-mesh].card'))
      .some((c) => c.getAttribute('data-mesh') === t && c.querySelector('h2').textContent === t), text);
    check(shownAsText, `${label}: the name ${text} does not show as text on its card`);
  }
  for (const text of expect.hostileTextures || []) {
    const texture = await page.evaluate((t) => Array.from(document.querySelectorAll('.textures li'))
      .some((li) => li.textContent === t), text);
    check(texture, `${label}: the texture name ${text} does not show as text`);
  }
  check(await page.evaluate(() => document.querySelectorAll('img[src="x"], script:not([src])').length) === 0,
    `${label}: a name from a file became markup`);
  await mkdir(shotFolder, { recursive: true });
  await page.screenshot({ path: path.join(shotFolder, `${label}-index.png`), fullPage: true });
  finish(`${label} index`, index);
  await page.close();

  for (const [name, objects] of Object.entries(expect.pages || {})) {
    const entry = catalogue.meshes.find((m) => m.name === name);
    check(entry && entry.page, `${label}: catalogue.json names no page for ${name}`);
    if (!entry || !entry.page) continue;
    const opened = await openPage(path.join(gallery, entry.page), `${label} ${name}`);
    const listed = await opened.page.$$eval('[data-object]', (o) => o.map((e) => e.getAttribute('data-object')));
    check(JSON.stringify(listed) === JSON.stringify(objects),
      `${label}: the page of ${name} lists objects ${JSON.stringify(listed)}, meshlister reports ${JSON.stringify(objects)}`);
    check(opened.pictures.length >= 3, `${label}: the page of ${name} shows ${opened.pictures.length} pictures`);
    const title = await opened.page.$eval('h1', (h) => h.textContent);
    check(title === name, `${label}: the page of ${name} is headed ${title}`);
    const file = name.replace(/[^A-Za-z0-9._-]/g, '_');
    await checkView(opened.page, { label: `${label} ${name}`, still: path.join(gallery, entry.page.replace(/\.html$/, ''),
      'angled.png'), use: (expect.views || {})[name], shotBase: path.join(shotFolder, `${label}-${file}`), check });
    await opened.page.evaluate(() => window.scrollTo(0, 0));
    await opened.page.screenshot({ path: path.join(shotFolder, `${label}-${file}.png`), fullPage: false });
    // And its first mesh with its objects, the part a prop maker acts on.
    const mesh = await opened.page.$('article.mesh');
    if (mesh) await mesh.screenshot({ path: path.join(shotFolder, `${label}-${file}-mesh.png`) });
    finish(`${label} ${name}`, opened);
    await opened.page.close();
  }
  console.log(`${label}: ${cards.length} cards, ${Object.keys(expect.pages || {}).length} mesh pages checked`);
}

await browser.close();
await rm(profile, { recursive: true, force: true });
console.log(`${checks - failures} passed, ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
