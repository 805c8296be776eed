// Holds the frame's document hidden from its first moment until the extension
// has the verdict on its address: allowed, it shows; blocked, the frame shows
// the block page instead. A listed page stops loading while the console asks.
'use strict';
(() => {
  const api = globalThis.browser ?? globalThis.chrome;
  const root = document.documentElement;
  if (!root) return;
  let gate;
  try {
    gate = api.runtime.connect({ name: 'gate' });
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
      stopped = true;
      window.stop();
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
  gate.onDisconnect.addListener(() => {
    if (!decided) show();
  });
})();
