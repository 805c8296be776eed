// Hookwarden's browser extension: every page's address goes to the native host
// before the page shows; the host checks it against the phishing definitions and,
// only for a listed one, asks the Hookwarden console. A page the console blocks
// never renders: its tab or frame shows the block page. Web-mail pages are
// scanned by the host the same way (mail.js sends their text).
//
// Firefox, and Chromium browsers that installed the extension by policy, hold the
// request itself (blocking webRequest) until the answer is in. Chromium gives an
// extension installed any other way no blocking request events: there the page's
// own document is held hidden by gate.js until the verdict arrives, and a listed
// top-level page is replaced at once by the block page while the console is asked.
'use strict';

const api = globalThis.browser ?? globalThis.chrome;
const HOST_NAME = 'com.corvinth.hookwarden';
const MAX_KNOWN_ADDRESSES = 500;

// ---- the native host: one long-lived connection, answers matched by id
//
// The extension fails closed. Only a host that cannot be started at all (not
// installed, or it ends before its first answer) lets pages load, with the icon
// saying protection is off. Once the host has answered, a question it does not
// answer (an error, its end, a time-out) is blocked when it is about a page: a
// page controls its own address, and must not be able to make its check fail
// into Allow.

let hostPort = null;
let hostStarted = false; // the current connection's host has answered once
let nextId = 1;
const waiting = new Map(); // id -> { kind, resolve, onListed, timer }

// How long a question may wait: the host answers an address at once (its start
// takes about a second under Wine); a listed one waits for the console, whose
// alert may stay open 10 minutes; a mail page may wait for one alert per finding.
const ANSWER_MS = { hello: 60_000, address: 60_000, listed: 11 * 60_000, mail: 30 * 60_000 };

function browserName() {
  const agent = navigator.userAgent;
  if (/Firefox\//.test(agent)) return 'firefox.exe';
  if (/Edg\//.test(agent)) return 'msedge.exe';
  return 'chrome.exe';
}

// What a question that got no answer comes to.
function unanswered(kind, reason) {
  if (kind === 'address') return { verdict: 'block', unchecked: true, reason };
  if (kind === 'listed') return { verdict: 'block', listed: true, asked: false, reason };
  return { verdict: 'none', reason };
}
const NO_HOST = { verdict: 'allow', noHost: true };

function finish(id, answer) {
  const question = waiting.get(id);
  if (!question) return;
  clearTimeout(question.timer);
  waiting.delete(id);
  question.resolve(answer);
}

function startTimer(id, kind) {
  const question = waiting.get(id);
  clearTimeout(question.timer);
  question.kind = kind;
  question.timer = setTimeout(() => finish(id, unanswered(kind, 'no answer in time')), ANSWER_MS[kind]);
}

function connectHost() {
  let port;
  try {
    port = api.runtime.connectNative(HOST_NAME);
  } catch (error) {
    hostPort = null;
    showProtection(false, false);
    return false;
  }
  hostPort = port;
  hostStarted = false;
  port.onMessage.addListener((message) => {
    if (port !== hostPort) return;
    hostStarted = true;
    onHostMessage(message);
  });
  port.onDisconnect.addListener(() => {
    if (port !== hostPort) return;
    hostPort = null;
    // The next question starts the host again.
    for (const [id, question] of waiting)
      finish(id, hostStarted ? unanswered(question.kind, 'the browser host ended') : NO_HOST);
    if (!hostStarted) showProtection(false, false);
  });
  ask({ type: 'hello', browser: browserName() }, 'hello');
  return true;
}

function ask(message, kind, onListed) {
  if (!hostPort && !connectHost()) return Promise.resolve(NO_HOST);
  const id = nextId++;
  return new Promise((resolve) => {
    waiting.set(id, { resolve, onListed });
    startTimer(id, kind);
    try {
      hostPort.postMessage({ ...message, id });
    } catch (error) {
      finish(id, hostStarted ? unanswered(kind, 'the browser host ended') : NO_HOST);
    }
  });
}

function onHostMessage(message) {
  if (typeof message.console === 'boolean') showProtection(true, message.console);
  const question = waiting.get(message.id);
  if (!question) return;
  if (message.pending) {
    startTimer(message.id, 'listed');
    if (question.onListed) question.onListed(message);
    return;
  }
  finish(message.id, message.error ? unanswered(question.kind, message.error) : message);
}

let shownProtection = null;
function showProtection(host, console) {
  const on = host && console;
  const shown = `${host}:${console}`;
  if (shownProtection === shown) return;
  shownProtection = shown;
  const state = on ? 'on' : 'off';
  api.action.setIcon({ path: { 16: `icons/${state}-16.png`, 32: `icons/${state}-32.png` } });
  api.action.setTitle({
    title: on
      ? 'Hookwarden: protection is on'
      : host
        ? 'Hookwarden: protection is off (the Hookwarden console is not running; pages the definitions list are still blocked)'
        : 'Hookwarden: protection is off (the Hookwarden browser host cannot be started)',
  });
  api.action.setBadgeText({ text: on ? '' : 'off' });
  api.action.setBadgeBackgroundColor({ color: '#b22222' });
}

// ---- checks of pages and frames

const checks = new Map(); // "tab:frame" -> the check of what that frame is loading
const allowedInTab = new Map(); // tab -> addresses the console allowed there
const askingIn = new Map(); // "tab:frame" -> the listed check its waiting page shows
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

// A page's address may be as long as the browser takes (2 MB in Chromium); the
// block page's own address carries it escaped, so it shows only its start, lest
// that address be refused and the tab stay on the page.
const MAX_SHOWN_ADDRESS = 2048;

function blockPageUrl(page, state, address, program) {
  const shown = address.length > MAX_SHOWN_ADDRESS ? `${address.slice(0, MAX_SHOWN_ADDRESS)}…` : address;
  const query = new URLSearchParams({ state, url: shown, program: program ?? '' });
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
    check.answer = ask({ type: 'address', ...parts }, 'address', () => onListed(check)).then((answer) => {
      // The console's Allow holds for this tab.
      if (answer.listed && answer.verdict === 'allow' && answer.asked) {
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
  // Chromium: the listed page must not load while the console asks the user, nor
  // stay in its frame (a page can undo gate.js's hiding): the tab or frame shows
  // the waiting page, which replaces itself with the outcome (see the "asking"
  // port below).
  if (!blockingRequests) {
    askingIn.set(`${check.tabId}:${check.frameId}`, check);
    check.askingPage = blockPageUrl('block.html', 'asking', check.page, '');
    if (check.frameId === 0) api.tabs.update(check.tabId, { url: check.askingPage });
  }
  for (const gate of check.gates) gate.postMessage(listedMessage(check));
}

// What a gate hears of a listed check: a frame still undecided goes to the waiting
// page (its tab's was sent there by the extension).
function listedMessage(check) {
  return { state: 'listed', page: check.frameId !== 0 && check.verdict === null ? check.askingPage : undefined };
}

function outcomePage(check) {
  return check.verdict === 'block' ? check.blockPage : check.url;
}

// The block page for an answer: the console's Block, a listed page the console
// could not be asked about, or a page whose check failed.
function blockPageFor(check, answer) {
  if (answer.verdict !== 'block') return null;
  const state = answer.unchecked ? 'unchecked' : answer.asked === false ? 'unasked' : 'blocked';
  return blockPageUrl('block.html', state, answer.address ?? check.page, answer.program);
}

function settle(check, answer) {
  const blockPage = blockPageFor(check, answer);
  check.verdict = answer.verdict === 'block' ? 'block' : 'allow';
  check.blockPage = blockPage;
  for (const gate of check.gates) gate.postMessage({ verdict: answer.verdict, page: blockPage });
  if (check.waitingPage) check.waitingPage.postMessage({ page: outcomePage(check) });
  // Chromium: a tab's page blocked without asking (no console, a failed check) is
  // left at once, before its document arrives, runs its scripts and could show
  // itself; a gate already there replaces it, the waiting page its own.
  const current = checks.get(`${check.tabId}:${check.frameId}`) === check;
  if (blockPage && !blockingRequests && check.frameId === 0 && current && !check.askingPage && check.gates.size === 0)
    api.tabs.update(check.tabId, { url: blockPage });
}

// Chromium: every navigation, before its request leaves.
api.webNavigation.onBeforeNavigate.addListener((details) => {
  startCheck(details.tabId, details.frameId, details.url);
});

// Firefox, and a Chromium browser that installed the extension by policy: the
// request itself waits for the answer, so that a blocked page never leaves the
// browser, whether a link, a script or a server's redirect led to it.
const isFirefox = typeof api.runtime.getBrowserInfo === 'function';
function holdRequest(details) {
  // An <object> or <embed> loads its document as an object, whose frame id is
  // that of the frame around it: it is checked under a key of its own.
  const frameId = details.type === 'object' ? `object:${details.frameId}` : details.frameId;
  const check = startCheck(details.tabId, frameId, details.url);
  return check.answer.then((answer) => {
    const blockPage = blockPageFor(check, answer);
    if (!blockPage) return {};
    if (isFirefox) return { redirectUrl: blockPage };
    // Chromium refuses to redirect a request to the block page, whose address pages
    // must not learn (use_dynamic_url): the tab is sent there instead, and a frame
    // shows Chromium's own page for a request an extension blocked.
    if (details.type === 'main_frame') api.tabs.update(details.tabId, { url: blockPage });
    return { cancel: true };
  });
}

// Chromium lets only extensions installed by policy hold requests; it accepts the
// listener of any other without holding anything, so there gate.js holds the page.
// The listener is added at once, so that the first request after the service
// worker starts is held too; in Chromium it holds once the install type is known.
const installedByPolicy = isFirefox
  ? Promise.resolve(false)
  : Promise.resolve()
      .then(() => api.management.getSelf())
      .then((self) => self.installType === 'admin')
      .catch(() => false);
function holdRequestIfByPolicy(details) {
  return installedByPolicy.then((byPolicy) => (byPolicy ? holdRequest(details) : {}));
}
try {
  api.webRequest.onBeforeRequest.addListener(
    isFirefox ? holdRequest : holdRequestIfByPolicy,
    { urls: ['http://*/*', 'https://*/*'], types: ['main_frame', 'sub_frame', 'object'] },
    ['blocking'],
  );
  blockingRequests = isFirefox;
  installedByPolicy.then((byPolicy) => {
    if (byPolicy) blockingRequests = true;
  });
} catch (error) {
  blockingRequests = false; // gate.js holds the page
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
    const check = askingIn.get(`${gate.sender.tab.id}:${gate.sender.frameId ?? 0}`);
    if (!check) return;
    check.waitingPage = gate;
    if (check.verdict !== null) gate.postMessage({ page: outcomePage(check) });
    return;
  }
  if (gate.name !== 'gate' && gate.name !== 'gate-restored') return;
  const tabId = gate.sender.tab.id;
  const frameId = gate.sender.frameId ?? 0;
  // A page shown again from the back/forward cache is asked about again.
  if (gate.name === 'gate-restored') checks.delete(`${tabId}:${frameId}`);
  const check = startCheck(tabId, frameId, gate.sender.url, true);
  check.gates.add(gate);
  gate.onDisconnect.addListener(() => check.gates.delete(gate));
  if (check.listed) gate.postMessage(listedMessage(check));
  if (check.verdict !== null) gate.postMessage({ verdict: check.verdict, page: check.blockPage });
});

// ---- web-mail pages

api.runtime.onMessage.addListener((message, sender) => {
  if (message?.type !== 'mail' || !sender.tab) return;
  const tabId = sender.tab.id;
  ask({ type: 'mail', text: String(message.text), html: String(message.html) }, 'mail').then((answer) => {
    if (answer.verdict === 'block') api.tabs.update(tabId, { url: api.runtime.getURL('mailblock.html') });
  });
});

api.tabs.onRemoved.addListener((tabId) => {
  allowedInTab.delete(tabId);
  for (const map of [checks, askingIn])
    for (const key of map.keys()) if (key.startsWith(`${tabId}:`)) map.delete(key);
});

connectHost();
