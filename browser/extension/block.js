// The block page: what was blocked and for which program. While the console is
// still asked ("asking"), it says so; the extension then replaces it.
import './messages.js';

const { port, blockState } = globalThis.hookwardenMessages;
const api = globalThis.browser ?? globalThis.chrome;
const query = new URLSearchParams(location.search);
const RECONNECT_MS = 200;
const RECONNECTS = 25;
document.getElementById('address').textContent = query.get('url') ?? '';
document.getElementById('program').textContent = query.get('program') || navigator.userAgent.match(/(Firefox|Edg|Chrom\w*)\//)?.[1] || '';
if (query.get('state') === blockState.asking) {
  document.getElementById('panel').className = 'asking';
  document.getElementById('heading').textContent = 'Hookwarden is checking this page';
  document.getElementById('reason').textContent =
    'The phishing definitions list this web address. The Hookwarden console asks whether to allow it.';
  document.title = 'Hookwarden: checking';
  waitForOutcome(RECONNECTS);
} else {
  document.title = 'Hookwarden: page blocked';
  // Pages blocked because nobody could decide say why.
  const reasons = {
    [blockState.unasked]:
      'The phishing definitions list this web address, and the Hookwarden console could not be asked ' +
      '(it is not running or did not answer). The page was not loaded.',
    [blockState.unchecked]: 'Hookwarden could not check this web address against its phishing definitions. The page was not loaded.',
  };
  const reason = reasons[query.get('state')];
  if (reason) document.getElementById('reason').textContent = reason;
}
document.getElementById('back').addEventListener('click', () => {
  if (history.length > 1) history.back();
  else location.replace('about:blank');
});

// The background answers with the page to show instead. A stopped background
// ends the port; the one that starts again answers (with the block page, when
// the console's answer went with the old one).
function waitForOutcome(reconnects) {
  const waiting = api.runtime.connect({ name: port.asking });
  waiting.onMessage.addListener((message) => location.replace(message.page));
  waiting.onDisconnect.addListener(() => {
    if (reconnects > 0) setTimeout(() => waitForOutcome(reconnects - 1), RECONNECT_MS);
  });
}
