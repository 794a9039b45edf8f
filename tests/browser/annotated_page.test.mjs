// Annotated pages in the browser: the highlight of a targeted word, the
// double-click that opens a word's page, the hidden navigation links of a
// word, and the Before/Next/Content links between pages.
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import {
  contentsOrder, follow, isHighlighted, isPlain, landing, openPage, openSampleSite, styles,
} from './harness.mjs';

// The first converted page: the sample's garden notes, long enough to hold
// words with several occurrences and words found on later pages.
const PAGE = 'page_02.htm';

describe('annotated page', { timeout: 180_000 }, () => {
  let site;
  before(async () => { site = await openSampleSite(); });
  after(async () => { await site?.close(); });

  // The id and span count of the word with the most spans on PAGE.
  async function busiestWord() {
    const page = await openPage(site, site.url(PAGE));
    const ids = await page.$$eval('span[ondblclick]', (spans) => spans.map((s) => s.id));
    await page.close();
    const counts = new Map();
    for (const id of ids) counts.set(id, (counts.get(id) ?? 0) + 1);
    return [...counts].sort((a, b) => b[1] - a[1])[0];
  }

  it('highlights every span of the targeted word and nothing else', async () => {
    const [id, count] = await busiestWord();
    assert.ok(count >= 3, `the busiest word of ${PAGE} has ${count} spans`);
    const page = await openPage(site, `${site.url(PAGE)}#${id}`);

    const words = await styles(page, 'span[ondblclick]');
    const targeted = words.filter((s) => s.id === id);
    assert.equal(targeted.length, count);
    for (const s of targeted) assert.ok(isHighlighted(s), `span of ${id}: ${JSON.stringify(s)}`);
    const others = words.filter((s) => s.id !== id);
    assert.ok(others.length > 100);
    for (const s of others) assert.ok(isPlain(s), `span of another word: ${JSON.stringify(s)}`);

    const navigation = await styles(page, 'span[hidden]');
    const shown = navigation.filter((s) => s.display !== 'none');
    assert.deepEqual(shown.map((s) => s.id), Array(count).fill(id),
                     'only the navigation spans of the targeted word are shown');
    for (const s of shown) {
      assert.equal(s.display, 'inline');
      assert.ok(isHighlighted(s));
    }
    assert.equal(navigation.length, words.length, 'one navigation span per word span');
    await page.close();
  });

  it('highlights nothing when the page is opened without a word id', async () => {
    const page = await openPage(site, site.url(PAGE));
    const spans = await styles(page, 'span[ondblclick], span[hidden]');
    assert.ok(spans.every((s) => s.display === 'none' || isPlain(s)));
    assert.ok(spans.filter((s) => s.display !== 'none').length > 100);
    await page.close();
  });

  it('opens the page at a word in a new window when the word is double-clicked', async () => {
    const page = await openPage(site, site.url(PAGE));
    // A word of the body text that stands outside any link.
    const index = await page.$$eval('span[ondblclick]',
                                    (spans) => spans.findIndex((s, i) => i >= 10 && !s.closest('a')));
    const word = page.locator('span[ondblclick]').nth(index);
    const id = await word.getAttribute('id');
    const [popup] = await Promise.all([site.context.waitForEvent('page'), word.dblclick()]);
    await popup.waitForLoadState('load');
    assert.equal(popup.url(), `${site.url(PAGE)}#${id}`);
    assert.equal(page.url(), site.url(PAGE), 'the page itself stays where it was');
    const highlighted = (await styles(popup, 'span[ondblclick]')).filter(isHighlighted);
    assert.ok(highlighted.length >= 1);
    assert.ok(highlighted.every((s) => s.id === id));
    await popup.close();
    await page.close();
  });

  it('leads from a targeted word to its next occurrence, index entries, contents and next page',
     async () => {
    const probe = await openPage(site, site.url(PAGE));
    // The first navigation span with both a later occurrence on this page
    // and a next page holding the word.
    const nav = await probe.$$eval('span[hidden]', (spans) => {
      const index = spans.findIndex((s) => {
        const texts = [...s.querySelectorAll('a')].map((a) => a.textContent);
        return texts[0] === '>' && texts.at(-1) === '>>)';
      });
      const s = spans[index];
      return {
        index,
        id: s.id,
        occurrence: Number(/^\s*\((\d+)\)/.exec(s.textContent)[1]),
        word: s.previousElementSibling.textContent,
        hrefs: [...s.querySelectorAll('a')].map((a) => a.getAttribute('href')),
      };
    });
    await probe.close();
    assert.ok(nav.index >= 0, 'some word of the page has a later occurrence and a next page');
    const { id, occurrence, word, hrefs } = nav;
    assert.equal(hrefs.length, 5);
    assert.equal(hrefs[0], `#${id}_${occurrence + 1}`);
    assert.match(hrefs[1], new RegExp(`^i_\\d+\\.htm#${id}$`));
    assert.match(hrefs[2], new RegExp(`^s_\\d+\\.htm#${id}_${occurrence}$`));
    assert.equal(hrefs[3], 'files_list.htm');
    assert.match(hrefs[4], new RegExp(`^page_\\d+\\.htm#${id}$`));

    const opened = `${site.url(PAGE)}#${id}`;
    const check = async (href, expect) => {
      const page = await openPage(site, opened);
      const navSpan = page.locator('span[hidden]').nth(nav.index);
      assert.ok(await navSpan.isVisible(), 'the navigation span of the targeted word is shown');
      const link = navSpan.locator(`a[href="${href}"]`);
      await link.click();
      await page.waitForURL(new URL(href, opened).href);
      await page.waitForLoadState('load');
      await expect(await landing(page), page);
      await page.close();
    };

    // Next occurrence: the occurrence anchor further down the same page.
    await check(hrefs[0], (at) => {
      assert.equal(at.file, PAGE);
      assert.equal(at.targetId, `${id}_${occurrence + 1}`);
      assert.ok(at.scrollY > 0);
    });
    // Word index entry: the entry of the word's first page in the group.
    await check(hrefs[1], (at) => {
      assert.equal(at.targetId, id);
      assert.equal(at.targetTag, 'a');
      assert.equal(at.targetText.toLowerCase(), word.toLowerCase());
    });
    // Search page: this very occurrence, highlighted.
    await check(hrefs[2], async (at) => {
      assert.equal(at.targetId, `${id}_${occurrence}`);
      assert.equal(at.targetText.replace(/\u00a0/g, ' ').trim(), word);
    });
    // Contents page: lists this page.
    await check(hrefs[3], async (at, page) => {
      assert.equal(at.file, 'files_list.htm');
      assert.equal(await page.locator(`[id="${PAGE}"]`).count(), 1);
    });
    // Next page holding the word: the page opens at the word, highlighted.
    await check(hrefs[4], async (at, page) => {
      assert.notEqual(at.file, PAGE);
      assert.equal(at.targetId, id);
      assert.equal(at.targetText.toLowerCase(), word.toLowerCase());
      const lit = (await styles(page, 'span[ondblclick]')).filter(isHighlighted);
      assert.ok(lit.length >= 1 && lit.every((s) => s.id === id));
    });
  });

  it('joins the first, a middle and the last page with Before, Next and Content links',
     async () => {
    const pages = await contentsOrder(site);
    assert.ok(pages.length >= 3, `${pages.length} pages`);
    const middle = Math.floor(pages.length / 2);
    for (const i of [0, middle, pages.length - 1]) {
      const page = await openPage(site, site.url(pages[i]));
      const blocks = await page.evaluate(() => {
        const words = document.querySelectorAll('span[ondblclick]');
        const first = words[0];
        const last = words[words.length - 1];
        const links = [...document.querySelectorAll('a')]
            .filter((a) => ['Before', 'Next', 'Content'].includes(a.textContent.trim()));
        const side = (a) => (a.compareDocumentPosition(first) & Node.DOCUMENT_POSITION_FOLLOWING
          ? 'top'
          : a.compareDocumentPosition(last) & Node.DOCUMENT_POSITION_PRECEDING ? 'bottom' : 'inside');
        return links.map((a) => `${side(a)} ${a.textContent.trim()} ${a.getAttribute('href')}`);
      });
      const block = [];
      if (i > 0) block.push(`Before ${pages[i - 1]}`);
      if (i < pages.length - 1) block.push(`Next ${pages[i + 1]}`);
      block.push('Content files_list.htm');
      assert.deepEqual(blocks, [...block.map((l) => `top ${l}`), ...block.map((l) => `bottom ${l}`)],
                       `links of ${pages[i]}`);

      for (const line of block) {
        const [, href] = line.split(' ');
        await page.goto(site.url(pages[i]));
        const at = await follow(page, href);
        assert.equal(at.file, href);
      }
      await page.close();
    }
  });
});
