// What the browser tests' scripts share: counted checks that print actual and
// expected, a wait with a deadline, the build's Windows helpers under Wine, the
// origin and its request log (browser-setup.sh prepares them), and Chromium with
// the extension.
'use strict';
const { execFile } = require('child_process');
const fs = require('fs');
const path = require('path');

const env = process.env;
const puppeteer = require(path.join(env.HW_NODE_MODULES, 'puppeteer-core'));
const origin = `https://localhost:${env.HW_ORIGIN_PORT}`;
const listedAddress = `localhost:${env.HW_ORIGIN_PORT}/sites/phisher/login.html`;
let failures = 0;

function check(name, actual, expected) {
  if (actual === expected) {
    console.log(`ok   ${name}`);
  } else {
    console.log(`FAIL ${name}: got '${actual}', expected '${expected}'`);
    failures++;
  }
}

async function waitFor(seconds, condition) {
  const end = Date.now() + seconds * 1000;
  for (;;) {
    const value = await condition().catch(() => undefined);
    if (value) return value;
    if (Date.now() > end) return value;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}

// A Windows helper of the build (alert-answer.exe, tray-command.exe) under Wine.
function wine(program, args) {
  return new Promise((resolve) => {
    execFile('wine', [program, ...args], { cwd: env.HW_BIN, timeout: 60000 }, (error, stdout) =>
      resolve({ code: error ? error.code ?? 1 : 0, out: String(stdout).replace(/\r/g, '') }),
    );
  });
}

const originLog = () => fs.readFileSync(env.HW_ORIGIN_LOG, 'utf8');

// Debian's Chromium (HW_CHROMIUM) headless with the extension (HW_EXTENSION)
// loaded unpacked, on the profile HW_PROFILE.
const launchChromium = () =>
  puppeteer.launch({
    executablePath: env.HW_CHROMIUM,
    headless: true,
    userDataDir: env.HW_PROFILE,
    ignoreDefaultArgs: ['--disable-extensions'],
    args: [
      '--no-sandbox',
      '--ignore-certificate-errors',
      `--disable-extensions-except=${env.HW_EXTENSION}`,
      `--load-extension=${env.HW_EXTENSION}`,
      '--disable-features=DisableLoadExtensionCommandLineSwitch',
    ],
  });

// The extension's service worker in Chromium.
const isExtensionWorker = (target) =>
  target.type() === 'service_worker' && target.url().startsWith(`chrome-extension://${env.HW_EXTENSION_ID}/`);

// Runs the checks with the browser, closes it, and ends with their result.
function runChecks(launch, checks) {
  (async () => {
    const browser = await launch();
    try {
      await checks(browser);
    } finally {
      await browser.close();
    }
    console.log(`${failures} failure(s) in the browser`);
    process.exit(failures > 0 ? 1 : 0);
  })().catch((error) => {
    console.log(`FAIL ${error.stack || error}`);
    process.exit(1);
  });
}

module.exports = {
  env,
  puppeteer,
  origin,
  listedAddress,
  check,
  waitFor,
  wine,
  originLog,
  runChecks,
  launchChromium,
  isExtensionWorker,
};
