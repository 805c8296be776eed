// Holds the frame's document hidden from its first moment until the extension
// has the verdict on its address: allowed, it shows; blocked, the frame shows
// the block page instead. A listed page stops loading while the console asks.
// A page the browser shows again from its back/forward cache is held and
// checked again, since no navigation asks about it.
'use strict';
(() => {
  const api = globalThis.browser ?? globalThis.chrome;
  const root = document.documentElement;
  if (!root) return;

  function hold(restored) {
    let gate;
    try {
      gate = api.runtime.connect({ name: restored ? 'gate-restored' : 'gate' });
    } catch (error) {
      return; // the extension was reloaded: nothing holds this page
    }
    root.style.setProperty('display', 'none', 'important');
    let stopped = false;
    let decided = false;
    const show = () => {
      decided = true;
      root.style.removeProperty('display');
    };
    gate.onMessage.addListener((message) => {
      if (message.state === 'listed' && !decided) {
        if (message.page) {
          decided = true;
          location.replace(message.page); // a frame waits on the waiting page
        } else if (!restored) {
          stopped = true;
          window.stop();
        }
        return;
      }
      if (!message.verdict || decided) return;
      if (message.verdict === 'block') {
        decided = true;
        if (message.page) location.replace(message.page);
        return;
      }
      if (stopped) {
        decided = true;
        location.reload(); // allowed in this tab: the reload is not asked again
        return;
      }
      show();
    });
    // Without the extension (reloaded, ended) nobody decides: the page shows.
    // A page put into the back/forward cache loses its port too.
    gate.onDisconnect.addListener(() => {
      if (!decided) show();
    });
  }

  hold(false);
  window.addEventListener('pageshow', (event) => {
    if (event.persisted) hold(true);
  });
})();
