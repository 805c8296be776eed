// Sends a web-mail page's text and HTML to the extension once the page has
// settled, and again when a web-mail application shows another message. Only
// pages that show a sender and a recipient label are sent; the host decides.
'use strict';
(() => {
  if (window !== window.top) return;
  const api = globalThis.browser ?? globalThis.chrome;
  const MAX_CHARS = 4 * 1024 * 1024;
  const QUIET_MS = 800;
  let lastText = null;
  let timer = 0;

  function scan() {
    timer = 0;
    const body = document.body;
    if (!body) return;
    // Line ends as the mail header reader expects them.
    const text = body.innerText.replace(/\r?\n/g, '\r\n');
    if (text === lastText || !/from:/i.test(text) || !/to:/i.test(text)) return;
    lastText = text;
    try {
      const sent = api.runtime.sendMessage({
        type: 'mail',
        text: text.slice(0, MAX_CHARS),
        html: body.outerHTML.slice(0, MAX_CHARS),
      });
      if (sent && sent.catch) sent.catch(() => {});
    } catch (error) {
      // the extension was reloaded
    }
  }

  scan();
  new MutationObserver(() => {
    if (!timer) timer = setTimeout(scan, QUIET_MS);
  }).observe(document.documentElement, { childList: true, subtree: true, characterData: true });
})();
