// The page around the game, shared by every build's page: it fits the
// picture to the window, turns the touch controls and a gamepad into the
// arrow and Escape keys the game reads, says what happened when the GPU is
// lost, and keeps the release for offline play. Loaded before the game's
// script, whose Module it sets up.
'use strict';

var BUILD = document.body.dataset.build;
var GAME_WIDTH = +document.body.dataset.width;
var GAME_HEIGHT = +document.body.dataset.height;
var KEY_CODES = { up: 38, down: 40, left: 37, right: 39, escape: 27 };
// A thumb resting near the pad's middle, or a stick near its rest, presses nothing.
var PAD_DEAD_ZONE = 0.25;
var STICK_DEAD_ZONE = 0.35;
// Ending is a second's hold, so that a stray touch or press does not end a game.
var END_HOLD_MS = 1000;
// The game reads a key when it looks at its events; a release sent at once
// would reach it in the same look, and the press would be missed.
var TAP_MS = 200;

var canvas = document.getElementById('canvas');
var stage = document.getElementById('stage');
var notice = document.getElementById('notice');
var log = document.getElementById('log');

function say(text, action) {
  notice.textContent = text;
  if (action) {
    var button = document.createElement('button');
    button.type = 'button';
    button.textContent = action.label;
    button.addEventListener('click', action.run);
    notice.appendChild(document.createTextNode(' '));
    notice.appendChild(button);
  }
  notice.className = 'shown';
}

function unsay() { notice.className = ''; }

function panel(line) {
  log.textContent += line + '\n';
  log.scrollTop = log.scrollHeight;
}

// ---------------------------------------------------------------- keys

// Which sources (touch, pad) hold each key: the game gets a press when the
// first takes it and a release when the last lets go.
var holders = { up: {}, down: {}, left: {}, right: {}, escape: {} };

function sendKey(type, name) {
  var event = new KeyboardEvent(type, { bubbles: true, cancelable: true });
  // The game's SDL reads the legacy key code, which a made event lacks.
  Object.defineProperty(event, 'keyCode', { value: KEY_CODES[name] });
  Object.defineProperty(event, 'which', { value: KEY_CODES[name] });
  document.dispatchEvent(event);
}

function holdKey(name, source, down) {
  var held = holders[name];
  var before = Object.keys(held).length > 0;
  if (down) held[source] = true; else delete held[source];
  var after = Object.keys(held).length > 0;
  if (after !== before) sendKey(after ? 'keydown' : 'keyup', name);
}

// Sets what one source holds now, releasing what it no longer holds.
function holdKeys(source, wanted) {
  for (var name in holders) holdKey(name, source, !!wanted[name]);
}

function tapEscape(source) {
  holdKey('escape', source, true);
  setTimeout(function () { holdKey('escape', source, false); }, TAP_MS);
}

// ---------------------------------------------------------------- fitting

// The whole picture in the space under the bar, its shape kept, at any size.
function fit() {
  var scale = Math.min(stage.clientWidth / GAME_WIDTH, stage.clientHeight / GAME_HEIGHT);
  if (!(scale > 0)) return;
  stage.style.setProperty('--game-width', Math.floor(GAME_WIDTH * scale) + 'px');
  stage.style.setProperty('--game-height', Math.floor(GAME_HEIGHT * scale) + 'px');
}

function fullscreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else if (stage.requestFullscreen) stage.requestFullscreen().catch(function () {});
  canvas.focus();
}

// ---------------------------------------------------------------- touch

// The keys a point on the pad presses: the arms it lies toward, both of two
// near a diagonal (Up with Left), none near the middle.
function padKeys(pad, x, y) {
  var box = pad.getBoundingClientRect();
  var dx = (x - box.left) / box.width * 2 - 1;
  var dy = (y - box.top) / box.height * 2 - 1;
  var wanted = {};
  if (Math.max(Math.abs(dx), Math.abs(dy)) < PAD_DEAD_ZONE) return wanted;
  var angle = Math.atan2(-dy, dx) * 180 / Math.PI;  // 0 right, 90 up
  var near = function (centre) { return Math.abs(((angle - centre + 540) % 360) - 180) < 67.5; };
  wanted.right = near(0);
  wanted.up = near(90);
  wanted.left = near(180);
  wanted.down = near(270);
  return wanted;
}

function showPressed(pad, wanted) {
  pad.querySelectorAll('[data-key]').forEach(function (arm) {
    arm.classList.toggle('pressed', !!wanted[arm.dataset.key]);
  });
}

// Every finger on the pad is a source of its own, so two fingers hold two keys.
function setUpPad(pad) {
  var pressedBy = {};
  function update(event) {
    event.preventDefault();
    var keysNow = event.type === 'pointerdown' || event.type === 'pointermove' ?
        padKeys(pad, event.clientX, event.clientY) : {};
    if (event.type === 'pointermove' && !pressedBy[event.pointerId]) return;
    if (Object.keys(keysNow).length) pressedBy[event.pointerId] = keysNow; else delete pressedBy[event.pointerId];
    holdKeys('touch' + event.pointerId, keysNow);
    var all = {};
    for (var id in pressedBy) for (var k in pressedBy[id]) if (pressedBy[id][k]) all[k] = true;
    showPressed(pad, all);
  }
  ['pointerdown', 'pointermove', 'pointerup', 'pointercancel'].forEach(function (type) {
    pad.addEventListener(type, update);
  });
}

// Held for a second, the end button sends Escape; let go sooner, it does nothing.
function setUpEndButton(button) {
  var timer = null;
  function release() {
    clearTimeout(timer);
    timer = null;
    button.classList.remove('holding');
  }
  button.addEventListener('pointerdown', function (event) {
    event.preventDefault();
    button.classList.add('holding');
    timer = setTimeout(function () { release(); tapEscape('end-button'); }, END_HOLD_MS);
  });
  ['pointerup', 'pointercancel', 'pointerleave'].forEach(function (type) { button.addEventListener(type, release); });
}

function hasTouch() {
  return navigator.maxTouchPoints > 0 || window.matchMedia('(pointer: coarse)').matches;
}

function showTouchControls() {
  document.body.classList.add('touch');
  fit();
}

// ---------------------------------------------------------------- gamepad

function pressed(button) { return !!button && (button.pressed || button.value > 0.5); }

// The standard mapping: d-pad buttons 12 to 15, left stick axes 0 and 1.
function padWants(pad) {
  var b = pad.buttons, a = pad.axes;
  return {
    up: pressed(b[12]) || a[1] < -STICK_DEAD_ZONE,
    down: pressed(b[13]) || a[1] > STICK_DEAD_ZONE,
    left: pressed(b[14]) || a[0] < -STICK_DEAD_ZONE,
    right: pressed(b[15]) || a[0] > STICK_DEAD_ZONE
  };
}

var START_BUTTON = 9;
var startHeldSince = {};
var polling = false;

function pollPads(now) {
  var pads = navigator.getGamepads ? navigator.getGamepads() : [];
  var any = false;
  for (var i = 0; i < pads.length; i++) {
    var pad = pads[i];
    if (!pad || !pad.connected) { holdKeys('pad' + i, {}); continue; }
    any = true;
    holdKeys('pad' + i, padWants(pad));
    if (!pressed(pad.buttons[START_BUTTON])) delete startHeldSince[i];
    else if (startHeldSince[i] === undefined) startHeldSince[i] = now;
    else if (startHeldSince[i] !== null && now - startHeldSince[i] >= END_HOLD_MS) {
      startHeldSince[i] = null;  // once per hold
      tapEscape('pad' + i);
    }
  }
  polling = any;
  if (polling) requestAnimationFrame(pollPads);
}

function padConnected(event) {
  say('Gamepad connected (' + event.gamepad.id + '): the d-pad or the left stick rolls and turns the cube; ' +
      'hold Start for a second to end the game.');
  setTimeout(unsay, 8000);
  if (!polling) { polling = true; requestAnimationFrame(pollPads); }
}

function padDisconnected(event) {
  holdKeys('pad' + event.gamepad.index, {});
  say('Gamepad disconnected.');
  setTimeout(unsay, 4000);
}

// ---------------------------------------------------------------- lost GPU

// Restore is only possible when the loss is refused its default.
function contextLost(event) {
  event.preventDefault();
  Module.contextLost = true;
  say('The browser took the graphics away from the game (a GPU reset, a driver update, sleep or too many tabs). ' +
      'The game goes on and its picture comes back when the browser allows.',
      { label: 'Reload', run: function () { location.reload(); } });
}

// The layer rebuilds what it keeps before the next frame is drawn.
function contextRestored() {
  Module.contextLost = false;
  Module.contextRestored = true;
  say('The picture is back.');
  setTimeout(unsay, 3000);
}

// ---------------------------------------------------------------- offline

function keepForOffline() {
  if (!('serviceWorker' in navigator) || location.protocol === 'file:') return;
  navigator.serviceWorker.register('sw.js').catch(function (e) { console.warn('offline copy not kept: ' + e); });
}

// ---------------------------------------------------------------- start

function hasWebGL() {
  try {
    var c = document.createElement('canvas');
    return !!(window.WebGLRenderingContext && (c.getContext('webgl') || c.getContext('experimental-webgl')));
  } catch (e) {
    return false;
  }
}

var Module = {
  canvas: canvas,
  build: BUILD,
  arguments: location.search.length > 1 ? location.search.slice(1).split('&').map(decodeURIComponent) : [],
  // Standard output and standard error, line by line, as the game writes them.
  print: function (line) { console.log(line); panel(line); },
  printErr: function (line) { console.error(line); panel(line); },
  onExit: function () {
    say('The game has ended. Reload the page to play again.', { label: 'Play again', run: function () { location.reload(); } });
    document.title = 'cubegame (ended)';
    window.gameEnded = true;
  },
  onAbort: function (what) {
    say('The game stopped with an error: ' + what + '. Reload the page to try again.');
  }
};

document.getElementById('fullscreen').addEventListener('click', fullscreen);
// The arrows and space would scroll the page; F is the page's own key.
window.addEventListener('keydown', function (e) {
  if (e.key === 'f' || e.key === 'F') fullscreen();
  if (['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', ' '].indexOf(e.key) >= 0) e.preventDefault();
});
window.addEventListener('resize', fit);
document.addEventListener('fullscreenchange', fit);
canvas.addEventListener('webglcontextlost', contextLost);
canvas.addEventListener('webglcontextrestored', contextRestored);
setUpPad(document.getElementById('pad'));
setUpEndButton(document.getElementById('end'));
if (hasTouch()) showTouchControls();
window.addEventListener('touchstart', showTouchControls, { once: true, passive: true });
window.addEventListener('gamepadconnected', padConnected);
window.addEventListener('gamepaddisconnected', padDisconnected);
fit();
keepForOffline();

if (!hasWebGL()) {
  Module.noInitialRun = true;
  say('This browser has no WebGL, so the game cannot draw here. Turn on hardware acceleration or WebGL in the ' +
      'browser settings, or try another browser.');
  window.noWebGL = true;
} else {
  canvas.focus();
}
