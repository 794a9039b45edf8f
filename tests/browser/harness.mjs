// Set-up shared by the browser tests: one run of the program over the
// bundled sample folder, a static server over its htm_out on 127.0.0.1, and
// headless Chromium with a fresh profile that reaches nothing but that server.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));

// playwright-core lies in the build tree, where run.mjs installed it.
if (!process.env.BROWSER_PACKAGES_DIR) {
  throw new Error('run the browser tests through run.mjs (it sets BROWSER_PACKAGES_DIR)');
}
const { chromium } = createRequire(path.join(process.env.BROWSER_PACKAGES_DIR, 'package.json'))(
  'playwright-core');

/** The answers a user types: continue three times, a destination address,
 *  a key at the results screen. */
export const ANSWERS = '1\n1\n1\nwww.example.org\n\n';
export const DESTINATION = 'www.example.org';
export const SEARCH_ENGINE = 'https://www.google.com/search?q=';
export const VIEWPORT = { width: 1000, height: 700 };

/** The program under test: INDEXER_BINARY, as for the end-to-end tests. */
export function programPath() {
  const binary = process.env.INDEXER_BINARY;
  if (!binary) throw new Error('set INDEXER_BINARY to the built program');
  if (!fs.existsSync(binary)) throw new Error(`no program at ${binary}`);
  return path.resolve(binary);
}

export function sourceDir() {
  return path.resolve(process.env.INDEXER_SOURCE_DIR ?? path.join(here, '..', '..'));
}

/** The site this build restricts its web searches to, derived from the
 *  program's file name as the program itself derives it at start. */
export function targetSiteOf(programFile) {
  let host = path.basename(programFile).trim().slice(0, -4).toLowerCase();
  for (const [prefix, scheme] of [['www.', 'www.'], ['http.', 'http://'], ['https.', 'https://']]) {
    if (!host.includes(prefix)) continue;
    while (host.includes(prefix)) host = host.slice(host.indexOf(prefix) + prefix.length);
    return scheme + host;
  }
  return '';
}

function removeQuietly(dir) {
  fs.rmSync(dir, { recursive: true, force: true, maxRetries: 3 });
}

/** Runs the program in a fresh folder beside a copy of examples/txt_in, or
 *  beside the text files `texts` ({ name: text }) when given, with `answers`
 *  piped in, and returns the folder and its htm_out. */
export function runSampleBase({ texts = null, answers = ANSWERS } = {}) {
  const program = programPath();
  const runDir = fs.mkdtempSync(path.join(os.tmpdir(), 'indexer-browser-'));
  const txtIn = path.join(runDir, 'txt_in');
  if (texts === null) {
    fs.cpSync(path.join(sourceDir(), 'examples', 'txt_in'), txtIn, { recursive: true });
  } else {
    fs.mkdirSync(txtIn);
    for (const [name, text] of Object.entries(texts)) fs.writeFileSync(path.join(txtIn, name), text);
  }
  const copy = path.join(runDir, path.basename(program));
  fs.copyFileSync(program, copy);
  fs.chmodSync(copy, 0o755);
  const result = spawnSync(copy, [], {
    cwd: runDir,
    input: answers,
    env: { ...process.env, SOURCE_DATE_EPOCH: '1700000000' },
    encoding: 'latin1',
    timeout: 120_000,
  });
  const htmOut = path.join(runDir, 'htm_out');
  if (result.status !== 0 || !fs.existsSync(path.join(htmOut, 'index.htm'))) {
    const tail = `${result.stdout ?? ''}${result.stderr ?? ''}`.slice(-2000);
    removeQuietly(runDir);
    throw new Error(`the sample run failed (status ${result.status}, ${result.error ?? 'no error'}):\n${tail}`);
  }
  return { runDir, htmOut, targetSite: targetSiteOf(program) };
}

/** Serves the files of `root` (flat, as htm_out is) on 127.0.0.1. Records
 *  every request for a file that is not there. */
export async function serveFolder(root) {
  const misses = [];
  const server = http.createServer((req, res) => {
    let name = '';
    try {
      name = decodeURIComponent(new URL(req.url, 'http://127.0.0.1').pathname.slice(1));
    } catch {
      name = req.url;  // malformed escapes: answered as missing
    }
    const file = path.join(root, name);
    const inside = /^[^/\\]+$/.test(name) && !name.startsWith('.');
    if (!inside || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      if (name !== 'favicon.ico') misses.push(name);
      res.writeHead(404, { 'Content-Type': 'text/plain' });
      res.end('not found');
      return;
    }
    // No charset here: the page's own meta line decides, as from a disk.
    res.writeHead(200, { 'Content-Type': 'text/html', 'Cache-Control': 'no-store' });
    fs.createReadStream(file).pipe(res);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const origin = `http://127.0.0.1:${server.address().port}`;
  return {
    origin,
    misses,
    close: () => new Promise((resolve) => {
      server.close(resolve);
      server.closeAllConnections();
    }),
  };
}

/** Headless Chromium from the system's packages with a throw-away profile.
 *  Requests to anything but 127.0.0.1 are refused and recorded. */
export async function launchBrowser() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'indexer-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    viewport: VIEWPORT,
    args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
    ],
  });
  const refused = [];
  await context.route((url) => url.hostname !== '127.0.0.1', (route) => {
    refused.push(route.request().url());
    return route.abort();
  });
  return {
    context,
    refused,
    close: async () => {
      await context.close();
      removeQuietly(profile);
    },
  };
}

/** Everything a test needs: the run, the server and the browser.
 *  `options` as for runSampleBase. */
export async function openSampleSite(options = {}) {
  const base = runSampleBase(options);
  let server;
  let browser;
  try {
    server = await serveFolder(base.htmOut);
    browser = await launchBrowser();
  } catch (error) {
    await server?.close();
    removeQuietly(base.runDir);
    throw error;
  }
  return {
    ...base,
    origin: server.origin,
    misses: server.misses,
    refused: browser.refused,
    context: browser.context,
    url: (name) => `${server.origin}/${name}`,
    files: fs.readdirSync(base.htmOut).sort(),
    close: async () => {
      await browser.close();
      await server.close();
      removeQuietly(base.runDir);
    },
  };
}

/** Opens `url` in a new tab and waits for it to load. */
export async function openPage(site, url) {
  const page = await site.context.newPage();
  await page.goto(url, { waitUntil: 'load' });
  return page;
}

/** The pages of the document base in contents order, as the contents page
 *  lists them. */
export async function contentsOrder(site) {
  const page = await openPage(site, site.url('files_list.htm'));
  const names = await page.$$eval('a > span[id]', (spans) => spans.map((s) => s.id));
  await page.close();
  return names;
}

/** Style facts of the elements matched by `selector`, each beside its
 *  parent's: what the highlight changes. */
export async function styles(page, selector) {
  return page.$$eval(selector, (elements) => elements.map((e) => {
    const own = getComputedStyle(e);
    const parent = getComputedStyle(e.parentElement);
    return {
      id: e.id,
      text: e.textContent,
      color: own.color,
      fontSize: parseFloat(own.fontSize),
      fontWeight: own.fontWeight,
      display: own.display,
      parentColor: parent.color,
      parentFontSize: parseFloat(parent.fontSize),
      parentFontWeight: parent.fontWeight,
    };
  }));
}

export const RED = 'rgb(255, 0, 0)';

/** True when `s` carries the highlight: red, bold, 140% of its parent. */
export function isHighlighted(s) {
  return s.color === RED && s.fontWeight === '700' &&
      Math.abs(s.fontSize - 1.4 * s.parentFontSize) < 0.05;
}

/** True when `s` looks exactly as its parent's text does. */
export function isPlain(s) {
  return s.color === s.parentColor && s.fontWeight === s.parentFontWeight &&
      Math.abs(s.fontSize - s.parentFontSize) < 0.05;
}

/** Where the browser stands after a navigation: the page, the fragment,
 *  the element the fragment selects (:target) and the scroll position. */
export async function landing(page) {
  return page.evaluate(() => {
    const target = document.querySelector(':target');
    return {
      file: location.pathname.slice(1),
      hash: decodeURIComponent(location.hash.slice(1)),
      targetId: target ? target.id : null,
      targetTag: target ? target.tagName.toLowerCase() : null,
      targetText: target ? target.textContent : null,
      scrollY: window.scrollY,
    };
  });
}

/** Clicks the first link whose href attribute is exactly `href` and waits
 *  until the browser shows its address. */
export async function follow(page, href) {
  const link = page.locator(`a[href="${href}"]`).first();
  const expected = new URL(href, page.url()).href;
  await link.click();
  await page.waitForURL(expected);
  await page.waitForLoadState('load');
  return landing(page);
}

/** The ids a rendered page offers, its word spans, and the ids and words
 *  its title holds as text (a title is read as text, so the spans written
 *  into it are no elements). */
export async function pageFacts(page) {
  return page.evaluate(() => {
    const title = document.querySelector('title')?.textContent ?? '';
    return {
      ids: [...document.querySelectorAll('[id]')].map((e) => e.id),
      wordIds: [...document.querySelectorAll('span[ondblclick]')].map((e) => e.id),
      titleIds: [...title.matchAll(/id="([^"]+)"/g)].map((m) => m[1]),
      titleWords: [...title.matchAll(/<span id="([^"]+)"[^>]*ondblclick[^>]*>([^<]*)<\/span>/g)]
          .map((m) => ({ id: m[1], word: m[2] })),
      links: [...document.querySelectorAll('a[href]')].map((a) => ({
        href: a.getAttribute('href'),
        resolved: a.href,
        text: a.textContent,
      })),
    };
  });
}
