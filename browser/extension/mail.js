// Sends a web-mail page's text and HTML to the extension once the page has
// settled, and again when a web-mail application shows another message. Only
// pages that show a sender and a recipient label are sent; the host decides.
// (messages.js runs before this script and names the messages.)
'use strict';
(() => {
  if (window !== window.top) return;
  const api = globalThis.browser ?? globalThis.chrome;
  const { message } = globalThis.hookwardenMessages;
  // The host takes frames of up to 16 MB of JSON. A browser may write a character
  // as up to 6 bytes ("\u003C"), so each part is cut by that count: the text,
  // where the header fields are, and the HTML, where the links are.
  const MAX_TEXT_BYTES = 4 * 1024 * 1024;
  const MAX_HTML_BYTES = 10 * 1024 * 1024;
  const QUIET_MS = 800;
  let lastText = null;
  let timer = 0;

  // The longest start of str whose JSON form surely fits in cbMax bytes.
  function cutToJsonBytes(str, cbMax) {
    if (str.length * 6 <= cbMax) return str;
    let cb = 0;
    let i = 0;
    for (; i < str.length; i++) {
      const code = str.charCodeAt(i);
      const plain = code >= 0x20 && code < 0x7f && code !== 0x3c && code !== 0x3e && code !== 0x26;
      cb += code === 0x22 || code === 0x5c ? 2 : plain ? 1 : 6;
      if (cb > cbMax) break;
    }
    // Never half of a surrogate pair.
    if (i > 0 && i < str.length && str.charCodeAt(i - 1) >= 0xd800 && str.charCodeAt(i - 1) < 0xdc00) i--;
    return str.slice(0, i);
  }

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
        type: message.mail,
        text: cutToJsonBytes(text, MAX_TEXT_BYTES),
        html: cutToJsonBytes(body.outerHTML, MAX_HTML_BYTES),
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
