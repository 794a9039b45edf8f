// Runs the browser tests as one CTest test: checks for Chromium and a recent
// Node, installs the pinned playwright-core into the build tree when it is
// not there yet (BROWSER_PACKAGES_DIR, by default browser_packages beside
// the program; the source tree is never written), then hands over to node's
// test runner. Exits 77 (a skip) with the reason when something the tests
// need is missing.
//   INDEXER_BINARY=build/default/www.example.com.exe node tests/browser/run.mjs
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const SKIP = 77;
const here = path.dirname(fileURLToPath(import.meta.url));

function skip(reason) {
  console.log(`browser tests skipped: ${reason}`);
  process.exit(SKIP);
}

function readJson(file) {
  try {
    return JSON.parse(fs.readFileSync(file, 'utf8'));
  } catch {
    return null;
  }
}

const chromium = process.env.CHROMIUM ?? '/usr/bin/chromium';
if (!fs.existsSync(chromium)) skip(`chromium not found at ${chromium} (apt-get install chromium)`);
const major = Number(process.versions.node.split('.')[0]);
if (major < 20) skip(`node ${process.versions.node} is too old, 20 or later needed`);
if (!process.env.INDEXER_BINARY) {
  console.error('set INDEXER_BINARY to the built program');
  process.exit(1);
}

// The packages go to a folder of the build tree, which the tests load them
// from; the installed playwright-core must be the one package.json pins.
const packages = path.resolve(process.env.BROWSER_PACKAGES_DIR ??
                              path.join(path.dirname(process.env.INDEXER_BINARY), 'browser_packages'));
process.env.BROWSER_PACKAGES_DIR = packages;
const pinned = readJson(path.join(here, 'package.json')).dependencies['playwright-core'];
const installed = readJson(path.join(packages, 'node_modules', 'playwright-core', 'package.json'));
if (installed?.version !== pinned) {
  console.log(`installing playwright-core ${pinned} into ${packages} (npm ci)`);
  fs.mkdirSync(packages, { recursive: true });
  for (const file of ['package.json', 'package-lock.json']) {
    fs.copyFileSync(path.join(here, file), path.join(packages, file));
  }
  const npm = spawnSync('npm', ['ci', '--no-audit', '--no-fund', '--loglevel=error'],
                        { cwd: packages, stdio: 'inherit', timeout: 300_000 });
  if (npm.status !== 0) {
    skip(`npm ci failed in ${packages} (status ${npm.status}${npm.error ? `, ${npm.error.message}` : ''}): ` +
         'is the npm registry reachable?');
  }
}

const tests = fs.readdirSync(here).filter((name) => name.endsWith('.test.mjs')).sort();
const run = spawnSync(process.execPath, ['--test', ...tests], { cwd: here, stdio: 'inherit' });
if (run.error) throw run.error;
process.exit(run.status ?? 1);
