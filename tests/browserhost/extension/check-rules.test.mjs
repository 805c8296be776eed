// The extension's check rules under Node's test runner: what it asks the host
// about an address, when two navigation events are one, and what each answer
// comes to. A failing case names itself and prints actual and expected.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  NO_HOST,
  SAME_NAVIGATION_MS,
  addressParts,
  blockStateOf,
  isConsoleAllow,
  isSameNavigation,
  pageKey,
  unanswered,
} from '../../../browser/extension/check-rules.js';

test('address parts', () => {
  const ips = new Map([['known.example', '192.0.2.7']]);
  const parts = (scheme, host, port, path, query = '', ip = '') => ({ scheme, host, port, path, query, ip });
  const cases = [
    ['https://Known.Example/a/b?x=1&y#frag', parts('https', 'known.example', 443, '/a/b', 'x=1&y', '192.0.2.7')],
    ['http://h.example', parts('http', 'h.example', 80, '/')],
    ['https://h.example:443/', parts('https', 'h.example', 443, '/')],
    ['http://user:pw@h.example:8080/p?', parts('http', 'h.example', 8080, '/p')],
    ['https://bücher.example/', parts('https', 'xn--bcher-kva.example', 443, '/')],
    ['http://[::1]:81/p', parts('http', '[::1]', 81, '/p')],
    ['ftp://h.example/', null],
    ['about:blank', null],
    ['chrome-extension://abc/block.html', null],
    ['not an address', null],
  ];
  for (const [url, expected] of cases) assert.deepEqual(addressParts(url, (host) => ips.get(host)), expected, url);
  assert.equal(addressParts('https://h.example/').ip, '', 'without a table of host addresses');
});

test('a page is its address without the fragment', () => {
  assert.equal(pageKey('https://h.example/p?q#one'), pageKey('https://h.example/p?q#two'));
  assert.notEqual(pageKey('https://h.example/p?q'), pageKey('https://h.example/p?r'));
  assert.equal(pageKey('not an address'), 'not an address');
});

test('duplicate navigation events', () => {
  const known = { page: 'https://h.example/', started: 10_000 };
  const cases = [
    ['no check yet', null, 'https://h.example/', false, 10_000, false],
    ['another page', known, 'https://h.example/other', false, 10_001, false],
    ['the second event of one navigation', known, 'https://h.example/', false, 10_000 + SAME_NAVIGATION_MS - 1, true],
    ['a later navigation to the same page', known, 'https://h.example/', false, 10_000 + SAME_NAVIGATION_MS, false],
    ['a gate joins however old', known, 'https://h.example/', true, 10_000 + 60 * SAME_NAVIGATION_MS, true],
    ['a gate of another page', known, 'https://h.example/other', true, 10_001, false],
  ];
  for (const [name, check, page, fromGate, now, expected] of cases)
    assert.equal(isSameNavigation(check, page, fromGate, now), expected, name);
});

test('verdict table', () => {
  // answer, the block page's state (null: the page loads), whether it is the console's Allow
  const cases = [
    ['unlisted', { listed: false, verdict: 'allow' }, null, false],
    ['the console allowed', { listed: true, verdict: 'allow', asked: true }, null, true],
    ['the console blocked', { listed: true, verdict: 'block', asked: true }, 'blocked', false],
    ['listed, the console not asked', { listed: true, verdict: 'block', asked: false }, 'unasked', false],
    ['no host at all', NO_HOST, null, false],
    ['an address question unanswered', unanswered('address', 'no answer in time'), 'unchecked', false],
    ['a listed question unanswered', unanswered('listed', 'the browser host ended'), 'unasked', false],
    ['an answer without a verdict', { listed: false }, 'unchecked', false],
    ['an answer with an unknown verdict', { listed: true, verdict: 'maybe', asked: true }, 'unchecked', false],
    ['no answer object', undefined, 'unchecked', false],
  ];
  for (const [name, answer, state, consoleAllow] of cases) {
    assert.equal(blockStateOf(answer), state, name);
    assert.equal(isConsoleAllow(answer), consoleAllow, name);
  }
  // A mail page or the greeting left unanswered blocks nothing by itself.
  assert.equal(unanswered('mail', 'x').verdict, 'none');
  assert.equal(unanswered('hello', 'x').verdict, 'none');
});
