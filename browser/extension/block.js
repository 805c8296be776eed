// The block page: what was blocked and for which program. While the console is
// still asked ("asking"), it says so; the extension then replaces it.
'use strict';
const api = globalThis.browser ?? globalThis.chrome;
const query = new URLSearchParams(location.search);
document.getElementById('address').textContent = query.get('url') ?? '';
document.getElementById('program').textContent = query.get('program') || navigator.userAgent.match(/(Firefox|Edg|Chrom\w*)\//)?.[1] || '';
if (query.get('state') === 'asking') {
  document.getElementById('panel').className = 'asking';
  document.getElementById('heading').textContent = 'Hookwarden is checking this page';
  document.getElementById('reason').textContent =
    'The phishing definitions list this web address. The Hookwarden console asks whether to allow it.';
  document.title = 'Hookwarden: checking';
  const waiting = api.runtime.connect({ name: 'asking' });
  waiting.onMessage.addListener((message) => location.replace(message.page));
} else {
  document.title = 'Hookwarden: page blocked';
  // Pages blocked because nobody could decide say why.
  const reasons = {
    unasked:
      'The phishing definitions list this web address, and the Hookwarden console could not be asked ' +
      '(it is not running or did not answer). The page was not loaded.',
    unchecked: 'Hookwarden could not check this web address against its phishing definitions. The page was not loaded.',
  };
  const reason = reasons[query.get('state')];
  if (reason) document.getElementById('reason').textContent = reason;
}
document.getElementById('back').addEventListener('click', () => {
  if (history.length > 1) history.back();
  else location.replace('about:blank');
});
