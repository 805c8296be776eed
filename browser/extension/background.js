// Hookwarden's browser extension: every page's address goes to the native host
// before the page shows; the host checks it against the phishing definitions and,
// only for a listed one, asks the Hookwarden console. A page the console blocks
// never renders: its tab or frame shows the block page. Web-mail pages are
// scanned by the host the same way (mail.js sends their text).
//
// Chromium browsers give extensions no blocking request events: there the page's
// own document is held hidden by gate.js until the verdict arrives, and a listed
// top-level page is replaced at once by the block page while the console is asked.
// Firefox holds the request itself (blocking webRequest) until the answer is in.
'use strict';

const api = globalThis.browser ?? globalThis.chrome;
const HOST_NAME = 'com.corvinth.hookwarden';
const MAX_KNOWN_ADDRESSES = 500;

// ---- the native host: one long-lived connection, answers matched by id

let hostPort = null;
let nextId = 1;
const waiting = new Map(); // id -> { resolve, onListed }

function browserName() {
  const agent = navigator.userAgent;
  if (/Firefox\//.test(agent)) return 'firefox.exe';
  if (/Edg\//.test(agent)) return 'msedge.exe';
  return 'chrome.exe';
}

function connectHost() {
  try {
    hostPort = api.runtime.connectNative(HOST_NAME);
  } catch (error) {
    hostPort = null;
    showProtection(false, false);
    return false;
  }
  hostPort.onMessage.addListener(onHostMessage);
  hostPort.onDisconnect.addListener(() => {
    // No host (not installed, or it ended): pages load, and the icon says so.
    hostPort = null;
    for (const question of waiting.values()) question.resolve({ verdict: 'allow', noHost: true });
    waiting.clear();
    showProtection(false, false);
  });
  ask({ type: 'hello', browser: browserName() });
  return true;
}

function ask(message, onListed) {
  if (!hostPort && !connectHost()) return Promise.resolve({ verdict: 'allow', noHost: true });
  const id = nextId++;
  return new Promise((resolve) => {
    waiting.set(id, { resolve, onListed });
    try {
      hostPort.postMessage({ ...message, id });
    } catch (error) {
      waiting.delete(id);
      resolve({ verdict: 'allow', noHost: true });
    }
  });
}

function onHostMessage(message) {
  if (typeof message.console === 'boolean') showProtection(true, message.console);
  const question = waiting.get(message.id);
  if (!question) return;
  if (message.pending) {
    if (question.onListed) question.onListed(message);
    return;
  }
  waiting.delete(message.id);
  // A request the host could not read is let through rather than held forever.
  question.resolve(message.error ? { verdict: 'allow', error: message.error } : message);
}

let shownProtection = null;
function showProtection(host, console) {
  const on = host && console;
  if (shownProtection === on) return;
  shownProtection = on;
  const state = on ? 'on' : 'off';
  api.action.setIcon({ path: { 16: `icons/${state}-16.png`, 32: `icons/${state}-32.png` } });
  api.action.setTitle({
    title: on
      ? 'Hookwarden: protection is on'
      : host
        ? 'Hookwarden: protection is off (the Hookwarden console is not running)'
        : 'Hookwarden: protection is off (the Hookwarden browser host is not installed)',
  });
  api.action.setBadgeText({ text: on ? '' : 'off' });
  api.action.setBadgeBackgroundColor({ color: '#b22222' });
}

// ---- checks of pages and frames

const checks = new Map(); // "tab:frame" -> the check of what that frame is loading
const allowedInTab = new Map(); // tab -> addresses the console allowed there
const askingInTab = new Map(); // tab -> the listed check its waiting page shows
const addressOfHost = new Map(); // host name -> the address the browser last reached it at
let blockingRequests = false;

function pageKey(url) {
  const address = new URL(url);
  address.hash = '';
  return address.href;
}

function addressParts(url) {
  let address;
  try {
    address = new URL(url);
  } catch (error) {
    return null;
  }
  if (address.protocol !== 'http:' && address.protocol !== 'https:') return null;
  const scheme = address.protocol.slice(0, -1);
  const host = address.hostname;
  return {
    scheme,
    host,
    port: Number(address.port) || (scheme === 'https' ? 443 : 80),
    path: address.pathname,
    query: address.search.slice(1),
    ip: addressOfHost.get(host) ?? '',
  };
}

function blockPageUrl(page, state, address, program) {
  const query = new URLSearchParams({ state, url: address, program: program ?? '' });
  return `${api.runtime.getURL(page)}?${query}`;
}

// A navigation's two events (Firefox sends both) share one check; a later
// navigation to the same page is a new one and asks again. A frame's gate joins
// the check of the navigation that brought its document, however old.
const SAME_NAVIGATION_MS = 2000;

function startCheck(tabId, frameId, url, fromGate = false) {
  const key = `${tabId}:${frameId}`;
  const page = pageKey(url);
  const known = checks.get(key);
  if (known && known.page === page && (fromGate || Date.now() - known.started < SAME_NAVIGATION_MS)) return known;
  const check = { page, url, tabId, frameId, listed: false, gates: new Set(), verdict: null, started: Date.now() };
  const parts = addressParts(url);
  if (!parts || tabId < 0 || allowedInTab.get(tabId)?.has(page)) {
    check.answer = Promise.resolve({ verdict: 'allow' });
  } else {
    check.answer = ask({ type: 'address', ...parts }, () => onListed(check)).then((answer) => {
      // The console's Allow holds for this tab; a page let through without a console does not.
      if (answer.listed && answer.verdict === 'allow' && answer.console) {
        if (!allowedInTab.has(tabId)) allowedInTab.set(tabId, new Set());
        allowedInTab.get(tabId).add(page);
      }
      return answer;
    });
  }
  check.answer.then((answer) => settle(check, answer));
  checks.set(key, check);
  return check;
}

function onListed(check) {
  check.listed = true;
  for (const gate of check.gates) gate.postMessage({ state: 'listed' });
  // Chromium: the listed page must not load while the console asks the user. The
  // waiting page replaces itself with the outcome (see the "asking" port below).
  if (!blockingRequests && check.frameId === 0) {
    askingInTab.set(check.tabId, check);
    api.tabs.update(check.tabId, { url: blockPageUrl('block.html', 'asking', check.page, '') });
  }
}

function outcomePage(check) {
  return check.verdict === 'block' ? check.blockPage : check.url;
}

function settle(check, answer) {
  const blockPage =
    answer.verdict === 'block' ? blockPageUrl('block.html', 'blocked', answer.address ?? check.page, answer.program) : null;
  check.verdict = answer.verdict;
  check.blockPage = blockPage;
  for (const gate of check.gates) gate.postMessage({ verdict: answer.verdict, page: blockPage });
  if (check.waitingPage) check.waitingPage.postMessage({ page: outcomePage(check) });
}

// Chromium: every navigation, before its request leaves.
api.webNavigation.onBeforeNavigate.addListener((details) => {
  startCheck(details.tabId, details.frameId, details.url);
});

// Firefox: the request itself waits for the answer.
function holdRequest(details) {
  const check = startCheck(details.tabId, details.frameId, details.url);
  return check.answer.then((answer) => {
    if (answer.verdict !== 'block') return {};
    return { redirectUrl: blockPageUrl('block.html', 'blocked', answer.address ?? check.page, answer.program) };
  });
}
// Chromium accepts the listener without holding anything (blocking requests are
// for policy-installed extensions only there), so only Firefox's is relied on.
if (typeof api.runtime.getBrowserInfo === 'function') {
  try {
    api.webRequest.onBeforeRequest.addListener(
      holdRequest,
      { urls: ['http://*/*', 'https://*/*'], types: ['main_frame', 'sub_frame'] },
      ['blocking'],
    );
    blockingRequests = true;
  } catch (error) {
    blockingRequests = false; // gate.js holds the page
  }
}

// The host address a page came from, for the console's alert.
api.webRequest.onResponseStarted.addListener(
  (details) => {
    if (!details.ip) return;
    const host = new URL(details.url).hostname;
    if (addressOfHost.size >= MAX_KNOWN_ADDRESSES) addressOfHost.clear();
    addressOfHost.set(host, details.ip);
  },
  { urls: ['http://*/*', 'https://*/*'], types: ['main_frame', 'sub_frame'] },
);

// gate.js in every frame holds the document hidden until the verdict; the
// waiting page (block.html, "asking") replaces itself with the outcome, so that
// "Go back" leads to the page before.
api.runtime.onConnect.addListener((gate) => {
  if (!gate.sender?.tab) return;
  if (gate.name === 'asking') {
    const check = askingInTab.get(gate.sender.tab.id);
    if (!check) return;
    check.waitingPage = gate;
    if (check.verdict !== null) gate.postMessage({ page: outcomePage(check) });
    return;
  }
  if (gate.name !== 'gate') return;
  const check = startCheck(gate.sender.tab.id, gate.sender.frameId ?? 0, gate.sender.url, true);
  check.gates.add(gate);
  gate.onDisconnect.addListener(() => check.gates.delete(gate));
  if (check.listed) gate.postMessage({ state: 'listed' });
  if (check.verdict !== null) gate.postMessage({ verdict: check.verdict, page: check.blockPage });
});

// ---- web-mail pages

api.runtime.onMessage.addListener((message, sender) => {
  if (message?.type !== 'mail' || !sender.tab) return;
  const tabId = sender.tab.id;
  ask({ type: 'mail', text: String(message.text), html: String(message.html) }).then((answer) => {
    if (answer.verdict === 'block') api.tabs.update(tabId, { url: api.runtime.getURL('mailblock.html') });
  });
});

api.tabs.onRemoved.addListener((tabId) => {
  allowedInTab.delete(tabId);
  askingInTab.delete(tabId);
  for (const key of checks.keys()) if (key.startsWith(`${tabId}:`)) checks.delete(key);
});

connectHost();
