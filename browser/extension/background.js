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
//
// The browser may stop this background at any time and start it again at the
// next event: every listener is added as it starts, and what must outlive it is
// in session-state.js.
import './messages.js';
import { ask, connectHost } from './host-port.js';
import { forgetTab, holdRequest, noteAddress, onPageConnected, setBlockingRequests, startCheck } from './checks.js';

const { message, host, verdict } = globalThis.hookwardenMessages;
const api = globalThis.browser ?? globalThis.chrome;

// Chromium: every navigation, before its request leaves.
api.webNavigation.onBeforeNavigate.addListener((details) => {
  startCheck(details.tabId, details.frameId, details.url);
});

// Chromium lets only extensions installed by policy hold requests; it accepts the
// listener of any other without holding anything, so there gate.js holds the page.
// The listener is added at once, so that the first request after the background
// starts is held too; in Chromium it holds once the install type is known.
// Firefox redirects a held request to the block page.
const isFirefox = typeof api.runtime.getBrowserInfo === 'function';
const installedByPolicy = isFirefox
  ? Promise.resolve(false)
  : Promise.resolve()
      .then(() => api.management.getSelf())
      .then((self) => self.installType === 'admin')
      .catch(() => false);
function holdRequestIfByPolicy(details) {
  return installedByPolicy.then((byPolicy) => (byPolicy ? holdRequest(details, false) : {}));
}
try {
  api.webRequest.onBeforeRequest.addListener(
    isFirefox ? (details) => holdRequest(details, true) : holdRequestIfByPolicy,
    { urls: ['http://*/*', 'https://*/*'], types: ['main_frame', 'sub_frame', 'object'] },
    ['blocking'],
  );
  setBlockingRequests(isFirefox);
  installedByPolicy.then((byPolicy) => {
    if (byPolicy) setBlockingRequests(true);
  });
} catch (error) {
  setBlockingRequests(false); // gate.js holds the page
}

api.webRequest.onResponseStarted.addListener(noteAddress, {
  urls: ['http://*/*', 'https://*/*'],
  types: ['main_frame', 'sub_frame'],
});

api.runtime.onConnect.addListener(onPageConnected);

// Web-mail pages: a finding the console blocks (or nobody decided) replaces the page.
api.runtime.onMessage.addListener((request, sender) => {
  if (request?.type !== message.mail || !sender.tab) return;
  const tabId = sender.tab.id;
  ask({ type: host.mail, text: String(request.text), html: String(request.html) }, 'mail').then((answer) => {
    if (answer.verdict === verdict.block) api.tabs.update(tabId, { url: api.runtime.getURL('mailblock.html') });
  });
});

api.tabs.onRemoved.addListener(forgetTab);

connectHost();
