// Drives Chromium that installed the extension by policy (policy-test.sh starts
// it) with the browser host under Wine: the extension arrives without a user's
// step and holds every page's request until the verdict, so that a listed page
// never reaches the origin, also when an unlisted page's redirect leads to it.
'use strict';
const fs = require('fs');
const checks = require('./browser-checks');
const { env, puppeteer, origin, listedAddress, check, waitFor, wine, originLog, runChecks } = checks;

const devtools = `http://127.0.0.1:${env.HW_DEVTOOLS_PORT}`;
const connect = () => puppeteer.connect({ browserURL: devtools });
// Requests of the listed page that reached the origin (a redirect's own line names it
// in its query).
const listedAtOrigin = () => originLog().split('\n').filter((line) => line.startsWith('/sites/phisher/'));

runChecks(connect, async (browser) => {
  // The extension's service worker shows in the browser's own list once installed.
  const installed = await waitFor(30, async () => {
    const targets = await (await fetch(`${devtools}/json/list`)).json();
    return targets.some((target) => target.url.startsWith(`chrome-extension://${env.HW_EXTENSION_ID}/`));
  });
  check('the policy installs the extension', Boolean(installed), true);
  check('the extension starts the host', await waitFor(30, async () => fs.existsSync(env.HW_HOST_STARTED)), true);

  // Each case in a tab of its own. A tab sent to the block page leaves puppeteer's
  // page object behind: the browser's own list of tabs says what each shows.
  const tabsShowing = async (text) => {
    const targets = await (await fetch(`${devtools}/json/list`)).json();
    return targets.filter((target) => target.type === 'page' && target.url.includes(text)).length;
  };
  const blockPages = (count) => waitFor(20, async () => (await tabsShowing('/block.html?state=blocked')) === count);

  // A listed page: the console's alert asks while the request waits; Block shows
  // the block page and the request never left the browser.
  const page = await browser.newPage();
  const alert = wine('alert-answer.exe', ['block']);
  await page.goto(`${origin}/sites/phisher/login.html`).catch(() => {});
  const alertShown = (await alert).out;
  check('the alert names the browser', /Program: chrome\.exe/.test(alertShown), true);
  check('the alert names the page', alertShown.includes(listedAddress), true);
  check('the listed page shows the block page', Boolean(await blockPages(1)), true);
  check('the listed page never reached the origin', listedAtOrigin().join(' '), '');

  // An unlisted page's redirect to the listed page: no navigation event of its own,
  // the redirected request waits too.
  const redirected = await browser.newPage();
  const redirectAlert = wine('alert-answer.exe', ['block']);
  await redirected.goto(`${origin}/redirect?to=/sites/phisher/login.html%3Fredirected`).catch(() => {});
  check('a redirect to the listed page asks the console', (await redirectAlert).out.includes(listedAddress), true);
  check('and shows the block page', Boolean(await blockPages(2)), true);
  check('the redirect reached the origin', originLog().includes('/redirect?to='), true);
  check('its listed page never did', listedAtOrigin().join(' '), '');

  // A listed frame of an unlisted page: held and blocked the same way; the frame
  // shows Chromium's page for a request an extension blocked (or, once its gate
  // got there first, the block page).
  const framed = await browser.newPage();
  const frameAlert = wine('alert-answer.exe', ['block']);
  await framed.goto(`${origin}/framed.html`).catch(() => {});
  check('a listed frame asks the console', (await frameAlert).out.includes(listedAddress), true);
  const framesShow = () => framed.frames().map((frame) => frame.url());
  const frameBlocked = await waitFor(20, async () =>
    framesShow().some((url) => url.startsWith('chrome-error:') || url.includes('/block.html?state=blocked')));
  check('the listed frame is blocked', Boolean(frameBlocked), true);
  if (!frameBlocked) console.log(`  the frames show ${framesShow()}`);
  check('the listed frame never reached the origin', listedAtOrigin().join(' '), '');

  // A listed page in an <object>: held and blocked as a frame is.
  const object = await browser.newPage();
  const objectAlert = wine('alert-answer.exe', ['block']);
  await object.goto(`${origin}/object.html`).catch(() => {});
  check('a listed <object> asks the console', (await objectAlert).out.includes(listedAddress), true);
  check('the listed <object> never reached the origin', listedAtOrigin().join(' '), '');

  const unlisted = await browser.newPage();
  await unlisted.goto(`${origin}/index.html`).catch(() => {});
  const loads = await waitFor(10, async () =>
    (await unlisted.evaluate(() => document.body.innerText)) === 'an unlisted page');
  check('an unlisted page loads', Boolean(loads), true);
});
