// The toolbar icon: on while the host runs and the console answers; grey with
// "off" otherwise, its title saying why. The browser keeps the icon when the
// background stops, so the shown state is kept with it (session-state.js).
import { setShownIcon, shownIcon } from './session-state.js';

const api = globalThis.browser ?? globalThis.chrome;

export function showProtection(host, console) {
  const on = host && console;
  const shown = `${host}:${console}`;
  if (shownIcon() === shown) return;
  setShownIcon(shown);
  const state = on ? 'on' : 'off';
  api.action.setIcon({ path: { 16: `icons/${state}-16.png`, 32: `icons/${state}-32.png` } });
  api.action.setTitle({
    title: on
      ? 'Hookwarden: protection is on'
      : host
        ? 'Hookwarden: protection is off (the Hookwarden console is not running; pages the definitions list are still blocked)'
        : 'Hookwarden: protection is off (the Hookwarden browser host cannot be started)',
  });
  api.action.setBadgeText({ text: on ? '' : 'off' });
  api.action.setBadgeBackgroundColor({ color: '#b22222' });
}
