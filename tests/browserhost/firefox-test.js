// Drives Firefox (headless, WebDriver BiDi) with the extension installed as a
// temporary add-on and the browser host under Wine (firefox-test.sh prepares
// them): Firefox's blocking request listener holds a listed page's request, so
// that it never reaches the origin. Prints one "ok"/"FAIL" line per check.
'use strict';
const fs = require('fs');
const checks = require('./browser-checks');
const { env, puppeteer, origin, listedAddress, check, waitFor, wine, originLog, runChecks } = checks;

const launch = () =>
  puppeteer.launch({
    browser: 'firefox',
    executablePath: env.HW_FIREFOX,
    headless: true,
    userDataDir: env.HW_PROFILE,
    acceptInsecureCerts: true,
    // Firefox finds native hosts below $HOME/.mozilla.
    env: { ...process.env, HOME: env.HW_HOME },
  });

runChecks(launch, async (browser) => {
  const id = await browser.installExtension(env.HW_EXTENSION);
  check('the extension installs with its gecko id', id, 'browser-extension@hookwarden.corvinth.com');
  // The background connects to the host as it starts, after adding its listeners.
  check('the extension starts the host', await waitFor(30, async () => fs.existsSync(env.HW_HOST_STARTED)), true);

  const page = await browser.newPage();
  // A tab or frame sent to a moz-extension page shows that in its location, not
  // always in its url().
  const addressOf = () => page.evaluate(() => location.href);
  const textOf = () => page.evaluate(() => document.body.innerText);

  // A listed page: the console's alert asks (answered Block) and names the browser;
  // the tab shows the block page, and the request never left the browser.
  const alert = wine('alert-answer.exe', ['block']);
  await page.goto(`${origin}/sites/phisher/login.html`).catch(() => {});
  const alertShown = (await alert).out;
  check('the alert names the browser', /Program: firefox\.exe/.test(alertShown), true);
  check('the alert names the page', alertShown.includes(listedAddress), true);
  const blocked = await waitFor(20, async () =>
    (await addressOf()).includes('/block.html?state=blocked') && (await textOf()).includes(listedAddress));
  check('the listed page shows the block page', Boolean(blocked), true);
  if (!blocked) console.log(`  the tab shows ${await addressOf().catch((e) => e)}: ${await textOf().catch((e) => e)}`);
  check('the listed page never reached the origin', originLog().includes('/sites/phisher/'), false);

  // A listed frame of an unlisted page: its request is held too, and the frame
  // shows the block page.
  const frameAlert = wine('alert-answer.exe', ['block']);
  await page.goto(`${origin}/framed.html`).catch(() => {});
  check('a listed frame asks the console', (await frameAlert).out.includes(listedAddress), true);
  const framesShow = () => Promise.all(page.frames().map((frame) => frame.evaluate(() => location.href)));
  const frameBlocked = await waitFor(20, async () =>
    (await framesShow()).some((address) => address.includes('/block.html?state=blocked')));
  check('the listed frame shows the block page', Boolean(frameBlocked), true);
  if (!frameBlocked) console.log(`  the frames show ${await framesShow().catch((e) => e)}`);
  check('the listed frame never reached the origin', originLog().includes('/sites/phisher/'), false);

  // A listed page in an <object>: Firefox loads it as an object, not a frame; its
  // request is held too.
  const objectAlert = wine('alert-answer.exe', ['block']);
  await page.goto(`${origin}/object.html`).catch(() => {});
  check('a listed <object> asks the console', (await objectAlert).out.includes(listedAddress), true);
  check('the listed <object> never reached the origin', originLog().includes('/sites/phisher/'), false);

  // An unlisted page of the same host loads.
  await page.goto(`${origin}/index.html`);
  const loads = await waitFor(10, async () => (await textOf()) === 'an unlisted page');
  check('an unlisted page loads', Boolean(loads), true);
  if (!loads) console.log(`  the tab shows ${await addressOf().catch((e) => e)}: ${await textOf().catch((e) => e)}`);
});
