// The native host: one long-lived connection, answers matched by id.
//
// The extension fails closed. Only a host that cannot be started at all (not
// installed, or it ends before its first answer) lets pages load, with the icon
// saying protection is off. Once the host has answered, a question it does not
// answer (an error, its end, a time-out) is blocked when it is about a page: a
// page controls its own address, and must not be able to make its check fail
// into Allow. The connection lives as long as the background does: a stopped
// service worker takes its questions with it (see session-state.js for what
// outlives it).
import './messages.js';
import { NO_HOST, unanswered } from './check-rules.js';
import { showProtection } from './protection.js';

const { host } = globalThis.hookwardenMessages;
const api = globalThis.browser ?? globalThis.chrome;
const HOST_NAME = 'com.corvinth.hookwarden';

let hostPort = null;
let hostStarted = false; // the current connection's host has answered once
let nextId = 1;
const waiting = new Map(); // id -> { kind, resolve, onListed, timer }

// How long a question may wait: the host answers an address at once (its start
// takes about a second under Wine); a listed one waits for the console, whose
// alert may stay open 10 minutes; a mail page may wait for one alert per finding.
const ANSWER_MS = { hello: 60_000, address: 60_000, listed: 11 * 60_000, mail: 30 * 60_000 };

function browserName() {
  const agent = navigator.userAgent;
  if (/Firefox\//.test(agent)) return 'firefox.exe';
  if (/Edg\//.test(agent)) return 'msedge.exe';
  return 'chrome.exe';
}

function finish(id, answer) {
  const question = waiting.get(id);
  if (!question) return;
  clearTimeout(question.timer);
  waiting.delete(id);
  question.resolve(answer);
}

function startTimer(id, kind) {
  const question = waiting.get(id);
  clearTimeout(question.timer);
  question.kind = kind;
  question.timer = setTimeout(() => finish(id, unanswered(kind, 'no answer in time')), ANSWER_MS[kind]);
}

export function connectHost() {
  let port;
  try {
    port = api.runtime.connectNative(HOST_NAME);
  } catch (error) {
    hostPort = null;
    showProtection(false, false);
    return false;
  }
  hostPort = port;
  hostStarted = false;
  port.onMessage.addListener((message) => {
    if (port !== hostPort) return;
    hostStarted = true;
    onHostMessage(message);
  });
  port.onDisconnect.addListener(() => {
    if (port !== hostPort) return;
    hostPort = null;
    // The next question starts the host again.
    for (const [id, question] of waiting)
      finish(id, hostStarted ? unanswered(question.kind, 'the browser host ended') : NO_HOST);
    if (!hostStarted) showProtection(false, false);
  });
  ask({ type: host.hello, browser: browserName() }, 'hello');
  return true;
}

// Asks the host; resolves with its answer, or what its absence comes to. kind is
// the question's kind for its time limit; onListed hears that a listed address
// waits for the console.
export function ask(message, kind, onListed) {
  if (!hostPort && !connectHost()) return Promise.resolve(NO_HOST);
  const id = nextId++;
  return new Promise((resolve) => {
    waiting.set(id, { resolve, onListed });
    startTimer(id, kind);
    try {
      hostPort.postMessage({ ...message, id });
    } catch (error) {
      finish(id, hostStarted ? unanswered(kind, 'the browser host ended') : NO_HOST);
    }
  });
}

function onHostMessage(message) {
  if (typeof message?.console === 'boolean') showProtection(true, message.console);
  const question = waiting.get(message?.id);
  if (!question) return;
  if (message.pending) {
    startTimer(message.id, 'listed');
    if (question.onListed) question.onListed(message);
    return;
  }
  finish(message.id, message.error ? unanswered(question.kind, message.error) : message);
}
