// Chromium with the extension and a stand-in host that answers every question
// after some seconds (gate-restart-test.sh prepares them): DevTools stops the
// service worker while a page's gate still waits for its verdict. The page must
// stay held, never shown undecided, and show once the worker that starts again
// has the verdict.
'use strict';
const { origin, check, waitFor, runChecks, launchChromium, isExtensionWorker } = require('./browser-checks');

runChecks(launchChromium, async (browser) => {
  const workerTarget = await browser.waitForTarget(isExtensionWorker, { timeout: 30000 });
  const worker = await workerTarget.worker();
  // The greeting answered: protection is on, the next question waits its seconds.
  const title = () => worker.evaluate(() => chrome.action.getTitle({}));
  check('the stand-in host answers', Boolean(await waitFor(30, async () => (await title()).endsWith('is on'))), true);

  const page = await browser.newPage();
  await page.goto(`${origin}/index.html`, { waitUntil: 'domcontentloaded' });
  const display = () => page.evaluate(() => getComputedStyle(document.documentElement).display);
  check('the page is held while its check runs', await display(), 'none');
  await worker.close();
  const stopped = await waitFor(20, async () => !browser.targets().includes(workerTarget));
  check('the service worker stops', Boolean(stopped), true);
  // Shown at once would be the old worker's port closing; the new worker's verdict
  // takes the stand-in's seconds.
  check('the page stays held once the worker stopped', await display(), 'none');
  check('and shows with the new worker\'s verdict', await waitFor(20, async () => (await display()) !== 'none'), true);
});
