// Index pages of more than 1,000 break lines, written in blocks: a page
// opened at an entry past a block lands on it and highlights it as before,
// and each page looks, to the pixel, as the same page without its blocks.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';

import { isHighlighted, isPlain, landing, openPage, openSampleSite, styles } from './harness.mjs';

const WORDS = 1200;
const BLOCK = '<div></div>';

// The n-th word of the sample, letters only: "wordaaa", "wordaab", ...
function word(n) {
  let letters = '';
  for (let i = 0; i < 3; i++, n = Math.floor(n / 26)) letters = String.fromCharCode(97 + (n % 26)) + letters;
  return `word${letters}`;
}

const linesOf = (file) => fs.readFileSync(file, 'latin1').split('\r\n');

describe('index pages in blocks', { timeout: 300_000 }, () => {
  let site;
  let group;  // the group of the page of many words

  before(async () => {
    // One word a line: 1,200 word index entries and 1,200 search page lines.
    const text = Array.from({ length: WORDS }, (_, n) => `${word(n)}\r\n`).join('');
    site = await openSampleSite({ texts: { 'many_words.txt': text } });
    // The group of the page of many words (the promotional page has its own).
    const index = fs.readFileSync(path.join(site.htmOut, 'index.htm'), 'latin1');
    group = new RegExp(`${word(0)}\\r\\n&nbsp;&nbsp;<a href="i_(\\d+)\\.htm`).exec(index)[1];
  });
  after(async () => { await site?.close(); });

  it('writes a block after every 1,000th break line of each index page, and only there', () => {
    const blocked = [];
    for (const name of site.files) {
      const lines = linesOf(path.join(site.htmOut, name));
      const indexPage = name === 'index.htm' || /^[is]_\d+\.htm$/.test(name);
      let breaks = 0;
      const expected = [];
      lines.forEach((line, i) => {
        if (line === '<br>' || line === '<br><br>') breaks++;
        if (indexPage && (line === '<br>' || line === '<br><br>') && breaks % 1000 === 0) expected.push(i + 1);
      });
      const found = lines.flatMap((line, i) => (line === BLOCK ? [i] : []));
      assert.deepEqual(found, expected, name);
      if (found.length > 0) blocked.push(name);
    }
    assert.ok(blocked.includes(`i_${group}.htm`) && blocked.includes(`s_${group}.htm`), blocked.join(' '));
  });

  // The id of the word index entry of `word(n)`, and the search page
  // occurrence its entry links to.
  function entryOf(n) {
    const lines = linesOf(path.join(site.htmOut, `i_${group}.htm`));
    const at = lines.findIndex((line) => line.includes(`>${word(n)}</a>`));
    const block = lines.indexOf(BLOCK);
    assert.ok(block > 0 && at > block, `${word(n)} comes after the first block`);
    const id = / id="(id\d{8})"/.exec(lines[at])[1];
    const search = /href="(s_\d+\.htm#id\d{8}_\d+)"/.exec(lines[at + 1])[1];
    return { id, search };
  }

  it('opens the word index page at an entry past a block, in view', async () => {
    const { id } = entryOf(1100);
    const page = await openPage(site, site.url(`i_${group}.htm#${id}`));
    const at = await landing(page);
    assert.equal(at.targetId, id);
    assert.ok(at.scrollY > 0);
    const top = await page.$eval(`[id="${id}"]`, (e) => e.getBoundingClientRect().top);
    assert.ok(top >= 0 && top < 10, `the entry is at the top of the window: ${top}`);
    await page.close();
  });

  it('highlights the occurrence an entry past a block targets on the search page', async () => {
    const { search } = entryOf(1150);
    const occurrence = search.split('#')[1];
    const page = await openPage(site, site.url(search));
    assert.equal((await landing(page)).targetId, occurrence);
    const spans = await styles(page, 'span[id]');
    const lit = spans.filter((s) => s.id === occurrence);
    assert.equal(lit.length, 1);
    assert.ok(isHighlighted(lit[0]), JSON.stringify(lit[0]));
    const others = spans.filter((s) => s.id !== occurrence);
    assert.ok(others.length >= WORDS - 1);
    for (const s of others) assert.ok(isPlain(s), `${s.id} is not targeted: ${JSON.stringify(s)}`);
    await page.close();
  });

  it('looks the same to the pixel as the page without its blocks', async () => {
    // Each page opened at an element a few lines above its first block, so
    // the block is in the window, and beside it the same page with its
    // block lines taken out.
    for (const [name, pattern] of [[`i_${group}.htm`, / id="(id\d{8})"/],
                                   [`s_${group}.htm`, /<span id="(id\d{8}_\d+)"/]]) {
      const lines = linesOf(path.join(site.htmOut, name));
      const block = lines.indexOf(BLOCK);
      assert.ok(block > 0, `${name} has a block`);
      const fragment = lines.slice(block - 20, block).map((l) => pattern.exec(l)).find((m) => m)[1];
      const plain = `plain_${name}`;
      fs.writeFileSync(path.join(site.htmOut, plain), lines.filter((l) => l !== BLOCK).join('\r\n'), 'latin1');
      const shots = [];
      for (const file of [name, plain]) {
        const page = await openPage(site, site.url(`${file}#${fragment}`));
        shots.push({
          png: await page.screenshot(),
          at: await landing(page),
          height: await page.evaluate(() => document.documentElement.scrollHeight),
        });
        await page.close();
      }
      assert.equal(shots[0].at.targetId, fragment, name);
      assert.equal(shots[0].at.scrollY, shots[1].at.scrollY, name);
      assert.equal(shots[0].height, shots[1].height, name);
      assert.ok(shots[0].png.equals(shots[1].png), `${name} at ${fragment} looks the same`);
    }
  });
});
