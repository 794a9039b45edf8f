// A changelog signed with 800 addresses in angle brackets, in the browser:
// every address shows as written, and the hidden navigation links of the
// words stay hidden (an address taken for an element used to open one that
// never closed; past 512 of them the links spilled into the text).
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import { openPage, openSampleSite } from './harness.mjs';

const ENTRIES = 800;

function changelog() {
  let text = '';
  for (let i = 0; i < ENTRIES; ++i) {
    text += `2024-01-01  Person${i} Surname <user${i}@example.org>\n\n`;
    text += `\t* file${i}.c: <b>fixed</b> entry${i}.\n`;
    if (i % 10 === 0) text += `\t#include <stdio.h> see <https://example.org/issue/${i}>\n`;
    text += '\n';
  }
  return text;
}

describe('text in angle brackets', { timeout: 180_000 }, () => {
  let site;
  before(async () => { site = await openSampleSite({ texts: { 'changelog.txt': changelog() } }); });
  after(async () => { await site?.close(); });

  it('shows every address as text and no navigation link text', async () => {
    // Page 1 is the promotional page; the changelog is page 2.
    const page = await openPage(site, site.url('page_02.htm'));
    const seen = await page.evaluate(() => ({
      text: document.body.innerText,
      hidden: document.querySelectorAll('span[hidden]').length,
      shown: [...document.querySelectorAll('span[hidden]')]
          .filter((s) => s.checkVisibility()).length,
      // Links shown, but those between pages (Before, Next, Content).
      links: [...document.querySelectorAll('a')]
          .filter((a) => a.checkVisibility())
          .filter((a) => !['Before', 'Next', 'Content'].includes(a.textContent.trim()))
          .map((a) => a.textContent),
      bold: document.querySelectorAll('b').length,
    }));
    for (let i = 0; i < ENTRIES; ++i) {
      assert.ok(seen.text.includes(`Person${i} Surname <user${i}@example.org>`), `address ${i}`);
    }
    assert.ok(seen.text.includes('#include <stdio.h> see <https://example.org/issue/790>'));
    assert.ok(seen.hidden > 5 * ENTRIES, `${seen.hidden} navigation spans`);
    assert.equal(seen.shown, 0, 'navigation spans shown');
    // A navigation span reads "(N)(", then its links ">", "i", "s" and "c)":
    // past 512 open elements a browser moved the links out of their span.
    assert.deepEqual(seen.links.slice(0, 8), []);
    assert.doesNotMatch(seen.text, /\(\d+\)\(|isc\)/);
    assert.equal(seen.bold, ENTRIES, 'the real markup stays markup');
    await page.close();
  });
});
