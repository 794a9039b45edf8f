// The word index pages, search pages, main index and contents page in the
// browser: every link lands on an element, the search page highlights its
// target, words of a page's title land at the page's top, counts agree with
// the pages, and web-search links carry the words and site restrictions.
import assert from 'node:assert/strict';
import { after, before, describe, it } from 'node:test';

import {
  DESTINATION, SEARCH_ENGINE, follow, isHighlighted, isPlain, landing, openPage, openSampleSite,
  pageFacts, styles,
} from './harness.mjs';

const isAnnotated = (name) => /^page_\d+\.htm$/.test(name);
const isWordIndex = (name) => /^i_\d+\.htm$/.test(name);
const isSearch = (name) => /^s_\d+\.htm$/.test(name);

// A query as the pages write it: the bytes that would cut it, change its
// meaning or close the attribute percent-encoded, blanks as they are.
const encodeQuery = (text) =>
  text.replace(/[%#&+"<>]/g, (c) => `%${c.charCodeAt(0).toString(16).toUpperCase()}`);

// The occurrences of word `id` on an annotated page: one word span each, in
// the body or, for the words of the title, as text in the title.
function spansOf(facts, id) {
  return facts.wordIds.filter((x) => x === id).length +
      facts.titleWords.filter((w) => w.id === id).length;
}

describe('index pages', { timeout: 300_000 }, () => {
  let site;
  const facts = new Map();  // page name -> pageFacts

  before(async () => {
    site = await openSampleSite();
    const page = await site.context.newPage();
    for (const name of site.files) {
      await page.goto(site.url(name), { waitUntil: 'load' });
      facts.set(name, await pageFacts(page));
    }
    await page.close();
  });
  after(async () => { await site?.close(); });

  // Where a link leads, as the browser resolved it: the file, the fragment,
  // whether the file offers an element with that id or holds it in its title.
  function resolve(link) {
    const url = new URL(link.resolved);
    if (url.origin !== site.origin) return null;
    const file = url.pathname.slice(1);
    const fragment = decodeURIComponent(url.hash.slice(1));
    const target = facts.get(file);
    return {
      file,
      fragment,
      exists: target !== undefined,
      element: target !== undefined && (fragment === '' || target.ids.includes(fragment)),
      inTitle: target !== undefined && target.titleIds.includes(fragment),
    };
  }

  it('lists every annotated page on the contents page, in name order', () => {
    const annotated = site.files.filter(isAnnotated);
    assert.ok(annotated.length >= 3);
    const listed = facts.get('files_list.htm').links.map((l) => l.href).filter(isAnnotated);
    assert.deepEqual(listed, annotated);
    assert.ok(site.files.includes('index.htm') && site.files.includes('i_1.htm') &&
              site.files.includes('s_1.htm'));
  });

  it('lands every link of every page on an element with the fragment\'s id', () => {
    const dangling = [];
    let checked = 0;
    let toTitles = 0;
    for (const [name, page] of facts) {
      for (const link of page.links) {
        const to = resolve(link);
        if (to === null) continue;  // a web address: never fetched here
        checked++;
        if (to.element) continue;
        // A word of a page's title has no element: its link opens the page
        // at the top (checked below), so it does not dangle.
        if (to.exists && to.inTitle && isAnnotated(to.file)) {
          toTitles++;
          continue;
        }
        dangling.push(`${name}: ${link.href}`);
      }
    }
    assert.deepEqual(dangling.slice(0, 20), [], `${dangling.length} dangling links`);
    assert.ok(checked > 5000, `${checked} links checked`);
    assert.ok(toTitles > 0, 'the pages link to the words of their titles');
  });

  it('lands a followed link of each index page on the element it names', async () => {
    const page = await site.context.newPage();
    for (const name of ['i_1.htm', 's_1.htm', 'index.htm', 'files_list.htm']) {
      // The first, middle and last link to each other page of the base.
      const byFile = new Map();
      for (const link of facts.get(name).links) {
        const to = resolve(link);
        if (to === null || to.file === name || (to.inTitle && !to.element)) continue;
        const kind = to.file.replace(/\d+/, 'N');
        if (!byFile.has(kind)) byFile.set(kind, []);
        byFile.get(kind).push({ href: link.href, to });
      }
      assert.ok(byFile.size >= 1, `${name} links to other pages`);
      for (const links of byFile.values()) {
        const sample = new Set([0, Math.floor(links.length / 2), links.length - 1]);
        for (const i of sample) {
          const { href, to } = links[i];
          await page.goto(site.url(name), { waitUntil: 'load' });
          const at = await follow(page, href);
          assert.equal(at.file, to.file, `${name}: ${href}`);
          assert.equal(at.targetId, to.fragment === '' ? null : to.fragment, `${name}: ${href}`);
        }
      }
    }
    await page.close();
  });

  it('highlights the occurrence a word index entry targets on the search page', async () => {
    const entries = facts.get('i_1.htm').links.filter((l) => isSearch(l.href.split('#')[0]));
    assert.ok(entries.length > 10);
    for (const link of [entries[0], entries[Math.floor(entries.length / 2)], entries.at(-1)]) {
      const page = await openPage(site, link.resolved);
      const at = await landing(page);
      const occurrence = link.href.split('#')[1];
      assert.equal(at.targetId, occurrence);
      const spans = await styles(page, 'span[id]');
      const lit = spans.filter((s) => s.id === occurrence);
      assert.equal(lit.length, 1);
      assert.ok(isHighlighted(lit[0]), JSON.stringify(lit[0]));
      for (const s of spans.filter((s) => s.id !== occurrence)) {
        assert.ok(isPlain(s), `${s.id} is not targeted: ${JSON.stringify(s)}`);
      }
      await page.close();
    }
  });

  it('lands the links to a word of a page\'s title on the page itself, at its top', async () => {
    const page = await site.context.newPage();
    const converted = [...facts.keys()].filter(isAnnotated)
        .filter((name) => facts.get(name).titleWords.some((w) => w.word.startsWith('htm_wrk\\')));
    assert.ok(converted.length >= 3, 'the converted pages are titled with their work paths');
    for (const name of converted) {
      const { titleWords, ids } = facts.get(name);
      const { id, word } = titleWords.find((w) => w.word.startsWith('htm_wrk\\'));
      assert.match(word, /^htm_wrk\\\w+\.htm$/);
      assert.match(id, /^id\d{8}$/);
      assert.ok(!ids.includes(id), `${name}: ${id} has no element in the body`);

      // The word's entry on its word index page links to the page at the word.
      const href = `${name}#${id}`;
      const index = [...facts].find(([file, f]) => isWordIndex(file) &&
                                    f.links.some((l) => l.href === href));
      assert.ok(index, `a word index page links to ${href}`);
      await page.goto(site.url(index[0]), { waitUntil: 'load' });
      const at = await follow(page, href);
      assert.equal(at.file, name);
      assert.equal(at.hash, id);
      assert.equal(at.targetId, null);
      assert.equal(at.scrollY, 0);
    }
    await page.close();
  });

  it('counts on the main index what the word index entries and pages hold', () => {
    // Occurrences per word and group: the word's spans on each page that
    // the group's word index entries point at.
    const entries = new Map();
    for (const [name, f] of facts) {
      if (!isWordIndex(name)) continue;
      const group = /\d+/.exec(name)[0];
      for (const link of f.links) {
        const m = /^(page_\d+\.htm)#(id\d{8})$/.exec(link.href);
        if (!m) continue;
        const [, pageName, id] = m;
        const key = `${id} ${group}`;
        entries.set(key, (entries.get(key) ?? 0) + spansOf(facts.get(pageName), id));
      }
    }
    const groupLinks = facts.get('index.htm').links
        .map((l) => ({ m: /^\(i_(\d+),\s+(\d+)\)$/.exec(l.text.replace(/\u00a0/g, ' ')), l }))
        .filter(({ m }) => m);
    assert.ok(groupLinks.length > 100);
    const wrong = [];
    for (const { m, l } of groupLinks) {
      const [, group, count] = m;
      const id = l.href.split('#')[1];
      if (entries.get(`${id} ${group}`) !== Number(count)) {
        wrong.push(`${l.href}: index says ${count}, pages hold ${entries.get(`${id} ${group}`)}`);
      }
    }
    assert.deepEqual(wrong.slice(0, 20), [], `${wrong.length} counts differ`);
  });

  it('shows on each word index entry the number of the word\'s spans on its page', async () => {
    const wrong = [];
    let entries = 0;
    for (const name of site.files.filter(isWordIndex)) {
      const page = await openPage(site, site.url(name));
      const shown = await page.$$eval('a[id]', (links) => links.map((a) => ({
        href: a.getAttribute('href'),
        after: a.nextSibling?.textContent ?? '',
      })));
      await page.close();
      for (const { href, after: text } of shown) {
        const m = /^\s*\((page_\d+\.htm), (\d+)\)/.exec(text);
        assert.ok(m, `${name}: entry ${href} shows its page and count: ${text}`);
        const [pageName, id] = href.split('#');
        assert.equal(m[1], pageName);
        const spans = spansOf(facts.get(pageName), id);
        if (spans !== Number(m[2])) wrong.push(`${name} ${href}: ${m[2]} shown, ${spans} on the page`);
      }
      entries += shown.length;
    }
    assert.ok(entries > 500, `${entries} entries`);
    assert.deepEqual(wrong.slice(0, 20), [], `${wrong.length} counts differ`);
  });

  it('gives each search page line web-search links for its words', async () => {
    for (const name of site.files.filter(isSearch)) {
      const page = await openPage(site, site.url(name));
      const lines = await page.evaluate(() => {
        const result = [];
        let words = [];
        for (const e of document.querySelectorAll('span[id], a[href]')) {
          if (e.matches('span[id]')) {
            words.push(e.textContent.replace(/\u00a0/g, ' ').trim());
          } else if (/^i_\d+$/.test(e.textContent)) {
            result.push({ words, searches: [] });
            words = [];
          } else if (e.getAttribute('href').startsWith('https://')) {
            result.at(-1).searches.push({
              href: e.getAttribute('href'),
              query: new URL(e.href).searchParams.get('q'),
              text: e.textContent,
            });
          }
        }
        return result;
      });
      assert.ok(lines.length > 10, `${name}: ${lines.length} lines`);
      for (const { words, searches } of lines) {
        assert.ok(words.length >= 1);
        // The destination typed at the prompt, the build's site, no site.
        const sites = [DESTINATION, site.targetSite].filter((s) => s !== '');
        assert.equal(searches.length, sites.length + 1, `${name}: ${words.join(' ')}`);
        const web = searches.at(-1);
        assert.equal(web.text, ' web_search ');
        let phrase = words.map((w) => `${w} `).join('');
        if (words.length > 28) {
          // A long line: up to 28 distinct words picked from all but its first.
          phrase = decodeURIComponent(web.href.slice(SEARCH_ENGINE.length));
          const pieces = phrase.split(' ').slice(1);
          assert.equal(phrase[0], ' ');
          assert.ok(pieces.length >= 1 && pieces.length <= 28);
          assert.equal(new Set(pieces).size, pieces.length);
          for (const w of pieces) assert.ok(words.slice(1).includes(w), `${w} is a word of the line`);
        }
        assert.equal(web.href, `${SEARCH_ENGINE}${encodeQuery(phrase)}`);
        // A browser drops the blank that ends an address.
        assert.equal(web.query, phrase.trimEnd());
        sites.forEach((restriction, i) => {
          assert.equal(searches[i].text, ` ${restriction}`);
          assert.equal(searches[i].href,
                       `${SEARCH_ENGINE}${encodeQuery(phrase)} site:${encodeQuery(restriction)}`);
          assert.equal(searches[i].query, `${phrase} site:${restriction}`);
        });
      }
      await page.close();
    }
  });

  it('gives each word index entry a web search for its word on the target site', () => {
    for (const [name, f] of facts) {
      if (!isWordIndex(name)) continue;
      const entries = f.links.flatMap((l, i) => (/^page_\d+\.htm#id\d{8}$/.test(l.href) ? [i] : []));
      assert.ok(entries.length > 50, `${name}: ${entries.length} entries`);
      // The last entry stands alone; every other one is followed by its
      // search page, main index and (with a target site) web-search links.
      for (const i of entries.slice(0, -1)) {
        const [entry, search, index, web] = f.links.slice(i, i + 4);
        assert.match(search.href, /^s_\d+\.htm#id\d{8}_\d+$/);
        assert.equal(index.href, `index.htm#${entry.href.split('#')[1]}`);
        if (site.targetSite === '') continue;
        assert.equal(web.href,
                     `${SEARCH_ENGINE}${encodeQuery(entry.text)} site:${encodeQuery(site.targetSite)}`);
        assert.equal(web.text, ` ${site.targetSite}`);
        assert.equal(new URL(web.resolved).searchParams.get('q'),
                     `${entry.text} site:${site.targetSite}`);
      }
    }
  });

  it('asks the server for no missing file and nothing beyond it', () => {
    assert.deepEqual(site.misses, []);
    assert.deepEqual(site.refused, []);
  });
});

// A changelog word holding # & + and an address typed at the prompt that
// tries to close the link and add a script.
describe('web-search links over bytes that mean something in a URL or in HTML', { timeout: 300_000 }, () => {
  const WORD = 'C#&C++';
  const LINE = `Fixed ${WORD} parsing for bug #1028103`;
  const ADDRESS = 'x"><script>document.title="PWNED"</script>';
  let site;

  before(async () => {
    site = await openSampleSite({
      texts: { 'release_notes.txt': `Release notes\r\n${LINE}\r\n` },
      answers: `1\n1\n1\n${ADDRESS}\n\n`,
    });
  });
  after(async () => { await site?.close(); });

  // What the browser makes of the web-search links, title and scripts of
  // the pages named like `pattern`, gathered over all of them.
  async function parsed(pattern) {
    const all = { titles: [], scripts: [], searches: [] };
    for (const name of site.files.filter((file) => pattern.test(file))) {
      const { title, scripts, searches } = await parsedPage(name);
      all.titles.push(title);
      all.scripts.push(...scripts);
      all.searches.push(...searches);
    }
    return all;
  }

  async function parsedPage(name) {
    const page = await openPage(site, site.url(name));
    const facts = await page.evaluate(() => ({
      title: document.title,
      scripts: [...document.querySelectorAll('script')].map((e) => e.textContent),
      searches: [...document.querySelectorAll('a[href^="https://www.google.com/"]')].map((a) => ({
        text: a.textContent,
        query: new URL(a.href).searchParams.get('q'),
      })),
    }));
    await page.close();
    return facts;
  }

  it('queries the whole word and its site restriction from the word index page', async () => {
    const { searches } = await parsed(/^i_\d+\.htm$/);
    const queries = searches.map((s) => s.query);
    assert.ok(queries.includes(`${WORD} site:${site.targetSite}`), JSON.stringify(queries));
  });

  it('queries the whole line on the search page and keeps the typed address inert', async () => {
    const { titles, scripts, searches } = await parsed(/^s_\d+\.htm$/);
    assert.ok(titles.length >= 1);
    for (const title of titles) {
      assert.equal(title, 'search.htm, content (only words) from input *.htm files');
    }
    // The highlight script is each page's only script.
    assert.equal(scripts.length, titles.length);
    for (const script of scripts) assert.ok(!script.includes('PWNED'));
    const restricted = searches.filter((s) => s.text === ` ${ADDRESS}`);
    assert.ok(restricted.length >= 2, JSON.stringify(searches));
    const queries = searches.map((s) => s.query);
    assert.ok(queries.includes(`${LINE}  site:${ADDRESS}`), JSON.stringify(queries));
    assert.ok(queries.includes(`${LINE}  site:${site.targetSite}`), JSON.stringify(queries));
    assert.ok(queries.includes(LINE), JSON.stringify(queries));
  });
});
