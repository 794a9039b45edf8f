// How long headless Chromium takes to open a page of the document base:
// from the start of the navigation to the load event, and on to the page
// laid out whole (its height read, which forces the layout of all of it).
// Each open gets a fresh browser; an open that has not reached the load
// event within CAP seconds is reported as such, and neither it nor an
// open of over a minute is repeated.
//
//   node bench/open_time.mjs CAP_SECONDS REPEAT FILE...
//
// Prints one line per page with, for each open, the seconds to the load
// event and to the page laid out, the CPU seconds the browser used (all
// its processes; on a busy machine the wall time grows, the CPU time much
// less) and the peak resident memory of its renderer, or "did not open in
// CAP s". Needs Debian's chromium and the playwright-core of tests/browser
// (npm ci there); CHROMIUM overrides /usr/bin/chromium.
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(path.join(here, '..', 'tests', 'browser', 'package.json'));
const { chromium } = require('playwright-core');

// Opens that take longer are not repeated.
const kCheap = 60;

const [capText, repeatText, ...files] = process.argv.slice(2);
const cap = Number(capText);
const repeat = Number(repeatText);
if (!(cap > 0) || !(repeat >= 1) || files.length === 0) {
  console.error('usage: node bench/open_time.mjs CAP_SECONDS REPEAT FILE...');
  process.exit(2);
}

// The processes below this one (the browser, its renderer, GPU and utility
// processes): their CPU seconds so far, and the resident memory of the
// largest of them (the renderer of the page) now, in MB, from /proc.
function browserUse() {
  const children = new Map();
  const own = new Map();
  for (const name of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    let stat;
    try {
      stat = fs.readFileSync(`/proc/${name}/stat`, 'latin1');
    } catch {
      continue;  // ended meanwhile
    }
    const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    const parent = Number(fields[1]);
    own.set(Number(name), { ticks: Number(fields[11]) + Number(fields[12]), pages: Number(fields[21]) });
    if (!children.has(parent)) children.set(parent, []);
    children.get(parent).push(Number(name));
  }
  let ticks = 0;
  let pages = 0;
  const stack = [...(children.get(process.pid) ?? [])];
  while (stack.length > 0) {
    const at = stack.pop();
    ticks += own.get(at)?.ticks ?? 0;
    pages = Math.max(pages, own.get(at)?.pages ?? 0);
    stack.push(...(children.get(at) ?? []));
  }
  return { cpu: ticks / 100, mb: pages * 4096 / 1e6 };  // USER_HZ ticks, 4 KiB pages
}

// One open in a fresh browser: seconds to the load event and to the page
// laid out, and the browser's CPU seconds and the renderer's peak memory
// (MB, sampled each second) by then; `load` is null when the load event
// did not come within the cap.
async function openOnce(file) {
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  let sampler;
  try {
    const page = await browser.newPage({ viewport: { width: 1000, height: 700 } });
    const cpuBefore = browserUse().cpu;
    let peak = 0;
    sampler = setInterval(() => { peak = Math.max(peak, browserUse().mb); }, 1000);
    const use = () => {
      clearInterval(sampler);
      const now = browserUse();
      return { cpu: now.cpu - cpuBefore, mb: Math.max(peak, now.mb) };
    };
    const start = process.hrtime.bigint();
    const seconds = () => Number(process.hrtime.bigint() - start) / 1e9;
    try {
      await page.goto(pathToFileURL(file).href, { waitUntil: 'load', timeout: cap * 1000 });
    } catch (error) {
      if (error.name !== 'TimeoutError') throw error;
      return { load: null, ...use() };
    }
    const load = seconds();
    await page.evaluate(() => document.documentElement.scrollHeight);
    const laidOut = seconds();
    return { load, laidOut, ...use() };
  } finally {
    clearInterval(sampler);
    await browser.close().catch(() => {});
  }
}

for (const file of files) {
  const results = [];
  for (let i = 0; i < repeat; i++) {
    const result = await openOnce(file);
    const cpu = `${result.cpu.toFixed(1)} s CPU, renderer ${Math.round(result.mb)} MB`;
    results.push(result.load === null
      ? `did not open in ${cap} s (${cpu} by then)`
      : `load ${result.load.toFixed(1)} s, laid out ${result.laidOut.toFixed(1)} s (${cpu})`);
    if (result.load === null || result.laidOut > kCheap) break;
  }
  const mb = (fs.statSync(file).size / 1e6).toFixed(1);
  console.log(`${path.basename(file)} (${mb} MB): ${results.join('; ')}`);
}
