// The names of the messages the extension's parts send each other: the
// background, the gate and the mail scanner in every page, the extension's own
// pages and the native host. The background and the pages import this file as a
// module; the content scripts cannot be modules, so the manifest lists it before
// them as a classic script. It therefore neither imports nor exports, and sets
// one name in the extension's own global scope (a content script's is its
// isolated world, which the page never sees).
globalThis.hookwardenMessages = Object.freeze({
  // Ports a page opens to the background (the runtime.connect name).
  port: Object.freeze({ gate: 'gate', gateRestored: 'gate-restored', asking: 'asking' }),
  // One-off messages to the background (runtime.sendMessage's "type").
  message: Object.freeze({ mail: 'mail' }),
  // What a gate hears besides a verdict: its page is listed, the console asks.
  gateState: Object.freeze({ listed: 'listed' }),
  // The native host's questions ("type") and verdicts.
  host: Object.freeze({ hello: 'hello', address: 'address', mail: 'mail' }),
  verdict: Object.freeze({ allow: 'allow', block: 'block', none: 'none' }),
  // The block page's "state": why it shows, or that the console still asks.
  blockState: Object.freeze({ blocked: 'blocked', unasked: 'unasked', unchecked: 'unchecked', asking: 'asking' }),
});
