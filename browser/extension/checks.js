// Checks of pages and frames: each navigation's address goes to the host, and
// the answer reaches whatever holds the page: the request itself (blocking
// webRequest), the frame's gate (gate.js) or the waiting page (block.html,
// "asking") that a listed page is replaced with while the console asks.
import './messages.js';
import { ask } from './host-port.js';
import { addressParts, blockStateOf, isConsoleAllow, isSameNavigation, pageKey, shownAddress } from './check-rules.js';
import * as session from './session-state.js';

const { port, gateState, host, verdict, blockState } = globalThis.hookwardenMessages;
const api = globalThis.browser ?? globalThis.chrome;
const MAX_KNOWN_ADDRESSES = 500;

const checks = new Map(); // "tab:frame" -> the check of what that frame is loading
const askingIn = new Map(); // "tab:frame" -> the listed check its waiting page shows
const addressOfHost = new Map(); // host name -> the address the browser last reached it at (for the alert)
let blockingRequests = false; // the request waits for the verdict; no waiting page needed

export function setBlockingRequests(blocking) {
  blockingRequests = blocking;
}

function blockPageUrl(page, state, address, program) {
  const query = new URLSearchParams({ state, url: shownAddress(address), program: program ?? '' });
  return `${api.runtime.getURL(page)}?${query}`;
}

export function startCheck(tabId, frameId, url, fromGate = false) {
  const key = `${tabId}:${frameId}`;
  const page = pageKey(url);
  const known = checks.get(key);
  if (isSameNavigation(known, page, fromGate, Date.now())) return known;
  const check = { page, url, tabId, frameId, listed: false, gates: new Set(), verdict: null, started: Date.now() };
  const parts = addressParts(url, (name) => addressOfHost.get(name));
  check.answer = session.restored.then(() => {
    if (!parts || tabId < 0 || session.isAllowed(tabId, page)) return { verdict: verdict.allow };
    return ask({ type: host.address, ...parts }, 'address', () => onListed(check)).then((answer) => {
      // The console's Allow holds for this tab.
      if (isConsoleAllow(answer)) session.allow(tabId, page);
      return answer;
    });
  });
  check.answer.then((answer) => settle(check, answer));
  checks.set(key, check);
  return check;
}

function onListed(check) {
  check.listed = true;
  // Chromium: the listed page must not load while the console asks the user, nor
  // stay in its frame (a page can undo gate.js's hiding): the tab or frame shows
  // the waiting page, which replaces itself with the outcome.
  if (!blockingRequests) {
    const key = `${check.tabId}:${check.frameId}`;
    askingIn.set(key, check);
    session.setWaiting(key, { page: check.page });
    check.askingPage = blockPageUrl('block.html', blockState.asking, check.page, '');
    if (check.frameId === 0) api.tabs.update(check.tabId, { url: check.askingPage });
  }
  for (const gate of check.gates) gate.postMessage(listedMessage(check));
}

// What a gate hears of a listed check: a frame still undecided goes to the waiting
// page (its tab's was sent there by the extension).
function listedMessage(check) {
  return {
    state: gateState.listed,
    page: check.frameId !== 0 && check.verdict === null ? check.askingPage : undefined,
  };
}

function outcomePage(check) {
  return check.verdict === verdict.block ? check.blockPage : check.url;
}

// The block page for an answer: the console's Block, a listed page the console
// could not be asked about, or a page whose check failed.
function blockPageFor(check, answer) {
  const state = blockStateOf(answer);
  return state && blockPageUrl('block.html', state, answer.address ?? check.page, answer.program);
}

function settle(check, answer) {
  const blockPage = blockPageFor(check, answer);
  check.verdict = blockPage ? verdict.block : verdict.allow;
  check.blockPage = blockPage;
  for (const gate of check.gates) gate.postMessage({ verdict: check.verdict, page: blockPage });
  const key = `${check.tabId}:${check.frameId}`;
  if (askingIn.get(key) === check) {
    // Kept, so that a waiting page that connects only after a restart still finds it.
    session.setWaiting(key, { page: check.page, outcome: outcomePage(check) });
    if (check.waitingPage) check.waitingPage.postMessage({ page: outcomePage(check) });
  }
  // Chromium: a tab's page blocked without asking (no console, a failed check) is
  // left at once, before its document arrives, runs its scripts and could show
  // itself; a gate already there replaces it, the waiting page its own.
  const current = checks.get(key) === check;
  if (blockPage && !blockingRequests && check.frameId === 0 && current && !check.askingPage && check.gates.size === 0)
    api.tabs.update(check.tabId, { url: blockPage });
}

// Firefox, and a Chromium browser that installed the extension by policy: the
// request itself waits for the answer, so that a blocked page never leaves the
// browser, whether a link, a script or a server's redirect led to it.
export function holdRequest(details, redirects) {
  // An <object> or <embed> loads its document as an object, whose frame id is
  // that of the frame around it: it is checked under a key of its own.
  const frameId = details.type === 'object' ? `object:${details.frameId}` : details.frameId;
  const check = startCheck(details.tabId, frameId, details.url);
  return check.answer.then((answer) => {
    const blockPage = blockPageFor(check, answer);
    if (!blockPage) return {};
    if (redirects) return { redirectUrl: blockPage };
    // Chromium refuses to redirect a request to the block page, whose address pages
    // must not learn (use_dynamic_url): the tab is sent there instead, and a frame
    // shows Chromium's own page for a request an extension blocked.
    if (details.type === 'main_frame') api.tabs.update(details.tabId, { url: blockPage });
    return { cancel: true };
  });
}

// The host address a page came from, for the console's alert.
export function noteAddress(details) {
  if (!details.ip) return;
  const name = new URL(details.url).hostname;
  if (addressOfHost.size >= MAX_KNOWN_ADDRESSES) addressOfHost.clear();
  addressOfHost.set(name, details.ip);
}

// gate.js in every frame holds the document hidden until the verdict; the
// waiting page replaces itself with the outcome, so that "Go back" leads to the
// page before.
export function onPageConnected(pagePort) {
  if (!pagePort.sender?.tab) return;
  const tabId = pagePort.sender.tab.id;
  const frameId = pagePort.sender.frameId ?? 0;
  if (pagePort.name === port.asking) {
    onWaitingPage(pagePort, `${tabId}:${frameId}`);
    return;
  }
  if (pagePort.name !== port.gate && pagePort.name !== port.gateRestored) return;
  // A page shown again from the back/forward cache is asked about again.
  if (pagePort.name === port.gateRestored) checks.delete(`${tabId}:${frameId}`);
  const check = startCheck(tabId, frameId, pagePort.sender.url, true);
  check.gates.add(pagePort);
  pagePort.onDisconnect.addListener(() => check.gates.delete(pagePort));
  if (check.listed) pagePort.postMessage(listedMessage(check));
  if (check.verdict !== null) pagePort.postMessage({ verdict: check.verdict, page: check.blockPage });
}

async function onWaitingPage(waitingPage, key) {
  const check = askingIn.get(key);
  if (check) {
    check.waitingPage = waitingPage;
    if (check.verdict !== null) waitingPage.postMessage({ page: outcomePage(check) });
    return;
  }
  // This background started after the console was asked: the question ended with
  // the one before (its host connection with it), so nobody decided the page.
  await session.restored;
  const entry = session.waitingIn(key);
  const address = entry?.page ?? new URL(waitingPage.sender.url).searchParams.get('url') ?? '';
  waitingPage.postMessage({ page: entry?.outcome ?? blockPageUrl('block.html', blockState.unasked, address, '') });
}

export function forgetTab(tabId) {
  for (const map of [checks, askingIn]) for (const key of map.keys()) if (key.startsWith(`${tabId}:`)) map.delete(key);
  session.restored.then(() => session.forgetTab(tabId));
}
