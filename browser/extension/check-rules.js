// What a page's check decides, apart from the browser: the parts of an address
// the host takes, whether two navigation events are one navigation, and what an
// answer, or a question left without one, comes to.
import './messages.js';

const { verdict, blockState } = globalThis.hookwardenMessages;

// A page as the extension remembers it (an Allow, a running check): its address
// without the fragment, which never reaches the server.
export function pageKey(url) {
  try {
    const address = new URL(url);
    address.hash = '';
    return address.href;
  } catch (error) {
    return String(url);
  }
}

// The parts of an http(s) address for the host's "address" question, or null for
// any other address (nothing to check). ipOfHost gives the address the browser
// last reached a host name at, when known.
export function addressParts(url, ipOfHost = () => undefined) {
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
    ip: ipOfHost(host) ?? '',
  };
}

// A navigation's two events (Firefox sends both) share one check; a later
// navigation to the same page is a new one and asks again. A frame's gate joins
// the check of the navigation that brought its document, however old.
export const SAME_NAVIGATION_MS = 2000;

export function isSameNavigation(known, page, fromGate, now) {
  if (!known || known.page !== page) return false;
  return fromGate || now - known.started < SAME_NAVIGATION_MS;
}

// What a question that got no answer comes to: a page controls its own address,
// so a failed check of it is blocked, and a listed one nobody decided too.
export function unanswered(kind, reason) {
  if (kind === 'address') return { verdict: verdict.block, unchecked: true, reason };
  if (kind === 'listed') return { verdict: verdict.block, listed: true, asked: false, reason };
  return { verdict: verdict.none, reason };
}

// Only a host that cannot be started at all lets pages load (the icon says so).
export const NO_HOST = Object.freeze({ verdict: verdict.allow, noHost: true });

// The block page's state for an answer, or null when the page may load.
export function blockStateOf(answer) {
  if (answer?.verdict === verdict.allow) return null;
  if (answer?.verdict !== verdict.block || answer.unchecked) return blockState.unchecked;
  return answer.asked === false ? blockState.unasked : blockState.blocked;
}

// The console's own Allow of a listed page, which holds for the page's tab.
export function isConsoleAllow(answer) {
  return answer?.listed === true && answer.verdict === verdict.allow && answer.asked === true;
}

// A page's address may be as long as the browser takes (2 MB in Chromium); the
// block page's own address carries it escaped, so it shows only its start, lest
// that address be refused and the tab stay on the page.
export const MAX_SHOWN_ADDRESS = 2048;

export function shownAddress(address) {
  return address.length > MAX_SHOWN_ADDRESS ? `${address.slice(0, MAX_SHOWN_ADDRESS)}…` : address;
}
