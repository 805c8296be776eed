// Holds the frame's document hidden from its first moment until the extension
// has the verdict on its address: allowed, it shows; blocked, the frame shows
// the block page instead. A listed page stops loading while the console asks.
// A page the browser shows again from its back/forward cache is held and
// checked again, since no navigation asks about it. (messages.js runs before
// this script and names the messages.)
'use strict';
(() => {
  const api = globalThis.browser ?? globalThis.chrome;
  const { port, gateState, verdict } = globalThis.hookwardenMessages;
  const root = document.documentElement;
  if (!root) return;
  // A stopped background ends the gate's port; the page is held on and asks the
  // one that starts again, a few times within some seconds. Still without an
  // answer, it stays hidden: a listed page must not show because nobody decided.
  const RECONNECT_MS = 200;
  const RECONNECTS = 25;
  let latestHold = 0;
  let inCache = false;

  function hold(restored, reconnects = RECONNECTS, wasStopped = false) {
    const thisHold = ++latestHold;
    let gate;
    try {
      gate = api.runtime.connect({ name: restored ? port.gateRestored : port.gate });
    } catch (error) {
      return; // the extension was reloaded: nothing holds this page
    }
    root.style.setProperty('display', 'none', 'important');
    let stopped = wasStopped;
    let decided = false;
    const show = () => {
      decided = true;
      root.style.removeProperty('display');
    };
    gate.onMessage.addListener((message) => {
      if (message.state === gateState.listed && !decided) {
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
      if (message.verdict === verdict.block) {
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
    // Without the extension (reloaded, removed) nobody decides: the page shows.
    // A page put into the back/forward cache loses its port too, and is held
    // again when it shows.
    gate.onDisconnect.addListener(() => {
      if (decided || inCache || thisHold !== latestHold) return;
      if (!api.runtime?.id) show();
      else if (reconnects > 0) setTimeout(() => hold(restored, reconnects - 1, stopped), RECONNECT_MS);
    });
  }

  hold(false);
  window.addEventListener('pagehide', (event) => {
    if (event.persisted) inCache = true;
  });
  window.addEventListener('pageshow', (event) => {
    if (!event.persisted) return;
    inCache = false;
    hold(true);
  });
})();
