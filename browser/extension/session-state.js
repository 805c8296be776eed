// What must outlive the background. Chromium stops an idle or misbehaving
// service worker, Firefox its background page, and the next event starts a new
// one with nothing of the old one's memory: without this a tab's Allow would be
// forgotten and a page waiting on the console would wait for nobody. Kept in
// storage.session (in the browser's memory, gone when the browser ends):
//   allowed:TAB          the pages the console allowed in that tab
//   waiting:TAB:FRAME    the listed page a waiting page shows, and its outcome
//                        once known
//   icon                 what the toolbar icon shows
// Without storage.session (not offered, or refused) the same lives in memory
// only, as long as the background runs.
//
// Reads come from the memory copy, which the stored state fills once as the
// background starts: callers await `restored` before their first read.
const api = globalThis.browser ?? globalThis.chrome;
const area = api?.storage?.session ?? null;

const allowed = new Map(); // tab id -> Set of pages
const waiting = new Map(); // "tab:frame" -> { page, outcome }
let icon = null;

function store(items) {
  if (!area) return;
  Promise.resolve()
    .then(() => area.set(items))
    .catch((error) => console.warn(`Hookwarden: could not keep ${Object.keys(items)} for a restart: ${error}`));
}

function unstore(keys) {
  if (area && keys.length > 0) Promise.resolve().then(() => area.remove(keys)).catch(() => {});
}

// What this background changed before the stored state arrived is kept beside it.
function restore(items) {
  for (const [key, value] of Object.entries(items ?? {})) {
    const [kind, ...rest] = key.split(':');
    if (kind === 'allowed' && Array.isArray(value)) {
      const tabId = Number(rest[0]);
      const pages = allowed.get(tabId) ?? new Set();
      for (const page of value) if (typeof page === 'string') pages.add(page);
      allowed.set(tabId, pages);
    } else if (kind === 'waiting' && typeof value?.page === 'string' && !waiting.has(rest.join(':'))) {
      waiting.set(rest.join(':'), value);
    } else if (kind === 'icon' && typeof value === 'string' && icon === null) {
      icon = value;
    }
  }
}

export const restored = area
  ? Promise.resolve()
      .then(() => area.get(null))
      .then(restore)
      .catch((error) => console.warn(`Hookwarden: the state kept for a restart could not be read: ${error}`))
  : Promise.resolve();

export function isAllowed(tabId, page) {
  return allowed.get(tabId)?.has(page) ?? false;
}

export function allow(tabId, page) {
  if (!allowed.has(tabId)) allowed.set(tabId, new Set());
  allowed.get(tabId).add(page);
  store({ [`allowed:${tabId}`]: [...allowed.get(tabId)] });
}

export function waitingIn(key) {
  return waiting.get(key) ?? null;
}

export function setWaiting(key, entry) {
  waiting.set(key, entry);
  store({ [`waiting:${key}`]: entry });
}

export function shownIcon() {
  return icon;
}

export function setShownIcon(shown) {
  icon = shown;
  store({ icon: shown });
}

export function forgetTab(tabId) {
  allowed.delete(tabId);
  const keys = [`allowed:${tabId}`];
  for (const key of waiting.keys()) {
    if (key.startsWith(`${tabId}:`)) {
      waiting.delete(key);
      keys.push(`waiting:${key}`);
    }
  }
  unstore(keys);
}
