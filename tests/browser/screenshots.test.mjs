// Pictures of the document base as a reader sees it: an annotated page with
// a highlighted word, a word index page and a search page. They go to
// BROWSER_SHOTS_DIR (the build folder under CTest), or ./browser_shots.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';

import { VIEWPORT, isHighlighted, openPage, openSampleSite, styles } from './harness.mjs';

const shotsDir = path.resolve(process.env.BROWSER_SHOTS_DIR ?? 'browser_shots');

// Width and height from a PNG's header chunk.
function pngSize(file) {
  const bytes = fs.readFileSync(file);
  assert.equal(bytes.subarray(1, 4).toString('latin1'), 'PNG', `${file} is a PNG`);
  return { width: bytes.readUInt32BE(16), height: bytes.readUInt32BE(20) };
}

describe('screenshots', { timeout: 120_000 }, () => {
  let site;
  before(async () => {
    site = await openSampleSite();
    fs.mkdirSync(shotsDir, { recursive: true });
  });
  after(async () => { await site?.close(); });

  async function shoot(url, name) {
    const page = await openPage(site, url);
    const file = path.join(shotsDir, name);
    await page.screenshot({ path: file });
    await page.close();
    assert.deepEqual(pngSize(file), VIEWPORT);
    return file;
  }

  it('shows an annotated page with a highlighted word, its index entry and search line',
     async (t) => {
    // "tomatoes" on the garden notes: several occurrences on one screen.
    const probe = await openPage(site, site.url('page_02.htm'));
    const id = await probe.$$eval('span[ondblclick]', (spans) =>
      spans.find((s) => s.textContent.toLowerCase().startsWith('tomatoes')).id);
    await probe.close();

    const page = await openPage(site, `${site.url('page_02.htm')}#${id}`);
    const lit = (await styles(page, 'span[ondblclick]')).filter(isHighlighted);
    assert.ok(lit.length >= 2 && lit.every((s) => s.id === id));
    const occurrence = await page.$eval(`span[hidden][id="${id}"] + span[id]`, (s) => s.id);
    await page.close();

    await shoot(`${site.url('page_02.htm')}#${id}`, 'annotated_page.png');
    await shoot(`${site.url('i_1.htm')}#${id}`, 'word_index.png');
    await shoot(`${site.url('s_1.htm')}#${occurrence}`, 'search_page.png');
    t.diagnostic(`screenshots in ${shotsDir}`);
  });
});
