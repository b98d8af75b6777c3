// The live panel's page: the bench's picture of the panel, the mouse as the host sees it, the
// trace as it happens, and the gauges' sounds played from the devices' own state.
"use strict";

const live = {
  version: 0,            // of the state last applied
  traceNext: 0,          // trace lines seen
  picture: -1,           // picture last asked for
  shownPicture: -1,      // picture on the page
  width: 0,
  height: 0,
  zoom: 2,
  pressed: false,
  pressedAt: null,       // when the last press went out, until a new picture shows
  pressPicture: -1,      // the picture when it went out
  latencies: [],         // press to new picture shown, in ms
  soundPlays: {},        // by buffer: the plays played here
  clickPlays: 0,         // every click sound the page started
  songUrl: "",
  songStarts: 0,
  keys: [],
};

const element = (id) => document.getElementById(id);
const panel = element("panel");
const tooltip = element("tooltip");
const songAudio = element("song");

// The devices' volume, in hundredths of a decibel (0 full, -10000 silent), as a gain of 0 to 1.
function gain(volume) {
  return volume <= -10000 ? 0 : Math.min(1, Math.pow(10, volume / 2000));
}

// The host's cursors by number: none, normal, up arrow, down arrow, and the hand (5).
function cursorStyle(cursor) {
  return { 1: "n-resize", 2: "s-resize", 5: "pointer" }[cursor] || "default";
}

function windowPoint(event) {
  const box = panel.getBoundingClientRect();
  const x = Math.floor((event.clientX - box.left) / live.zoom);
  const y = Math.floor((event.clientY - box.top) / live.zoom);
  return { x: Math.max(0, Math.min(live.width - 1, x)), y: Math.max(0, Math.min(live.height - 1, y)) };
}

function setZoom(zoom) {
  live.zoom = zoom;
  if (live.width > 0) {
    panel.style.width = live.width * zoom + "px";
    panel.style.height = live.height * zoom + "px";
  }
}

async function post(path) {
  const response = await fetch(path, { method: "POST" });
  if (!response.ok)
    throw new Error(path + ": " + (await response.text()));
  return response.json();
}

// A new picture is fetched once, decoded off the page's thread and drawn when it has arrived; a
// slower older one that arrives after a newer is not drawn.
async function showPicture(number) {
  if (number === live.picture)
    return;
  live.picture = number;
  const response = await fetch("/panel.png?picture=" + number);
  if (!response.ok)
    return;
  const picture = await createImageBitmap(await response.blob());
  if (number < live.shownPicture)
    return;
  if (panel.width !== picture.width || panel.height !== picture.height) {
    panel.width = picture.width;
    panel.height = picture.height;
  }
  panel.getContext("2d").drawImage(picture, 0, 0);
  picture.close();
  live.shownPicture = number;
  if (live.pressedAt !== null && number > live.pressPicture) {
    live.latencies.push(performance.now() - live.pressedAt);
    live.pressedAt = null;
  }
}

// The trace panel keeps its last lines, one text node each, so that a line costs the page the
// same however long the session has run.
const TRACE_LINES_SHOWN = 400;

function appendTrace(lines) {
  if (lines.length === 0)
    return;
  const trace = element("trace");
  const atEnd = trace.scrollTop + trace.clientHeight >= trace.scrollHeight - 4;
  const added = document.createDocumentFragment();
  for (const line of lines.slice(-TRACE_LINES_SHOWN))
    added.appendChild(document.createTextNode(line + "\n"));
  trace.appendChild(added);
  while (trace.childNodes.length > TRACE_LINES_SHOWN)
    trace.removeChild(trace.firstChild);
  if (atEnd)
    trace.scrollTop = trace.scrollHeight;
  const keys = element("keys");
  for (const line of lines)
    if (line.startsWith("key ")) {
      live.keys.push(line.slice(4));
      const item = document.createElement("li");
      item.textContent = line.slice(4);
      keys.appendChild(item);
      keys.scrollTop = keys.scrollHeight;
    }
}

// Every play of a sound buffer since the page last looked plays the buffer's sound once. Each
// buffer's sound is fetched and decoded once; a play then costs the page next to nothing, so
// that a click never holds up the picture it goes with.
let audio = null;
const decoded = {};

function soundOf(sound) {
  if (!audio)
    audio = new AudioContext();
  if (!decoded[sound.url])
    decoded[sound.url] = fetch(sound.url).then((response) => response.arrayBuffer())
                                         .then((bytes) => audio.decodeAudioData(bytes));
  return decoded[sound.url];
}

function playSounds(sounds) {
  for (const sound of sounds) {
    const seen = live.soundPlays[sound.id];
    live.soundPlays[sound.id] = sound.plays;
    if (seen === undefined)
      continue;   // plays from before the page came
    for (let play = seen; play < sound.plays; ++play) {
      ++live.clickPlays;
      soundOf(sound).then((buffer) => {
        const source = audio.createBufferSource();
        const loudness = audio.createGain();
        loudness.gain.value = gain(sound.volume);
        source.buffer = buffer;
        source.connect(loudness).connect(audio.destination);
        source.start();
      }).catch(report);
      element("click-state").textContent = "Click: played " + live.clickPlays + " times, volume " + sound.volume;
    }
  }
}

// The song follows the graph that runs: its file, its volume, and its place when it jumps (a
// rewind at its end).
function followSong(songs) {
  const running = songs.find((song) => song.running);
  if (!running) {
    if (!songAudio.paused)
      songAudio.pause();
    element("song-state").textContent = "Song: none playing";
    return;
  }
  if (live.songUrl !== running.url) {
    live.songUrl = running.url;
    if (!still)
      songAudio.src = running.url;
    ++live.songStarts;
  }
  songAudio.volume = gain(running.volume);
  const place = running.position_ms / 1000;
  if (Math.abs(songAudio.currentTime - place) > 0.5)
    songAudio.currentTime = place;
  if (songAudio.paused && !still)
    songAudio.play().catch(() => {});
  element("song-state").textContent = "Song: " + running.file + ", volume " + running.volume;
}

function showDrive(cd) {
  let text = "CD drive: ";
  if (!cd.drive)
    text += "none";
  else if (cd.tray_open)
    text += "tray open";
  else if (!cd.disc)
    text += "no disc";
  else
    text += cd.playing ? "playing track " + cd.track : "stopped";
  element("cd").textContent = text;
}

function showVariables(variables) {
  const body = element("variables").tBodies[0];
  for (const [id, value] of Object.entries(variables)) {
    let row = body.querySelector(`tr[data-id="${id}"]`);
    if (!row) {
      row = document.createElement("tr");
      row.dataset.id = id;
      row.innerHTML = `<td>${id}</td><td><input type="number" step="any" aria-label="variable ${id}"></td>` +
                      `<td><button type="button">Set</button></td>`;
      const field = row.querySelector("input");
      // A value being typed is the person's until it is set.
      field.addEventListener("input", () => { field.dataset.edited = "yes"; });
      row.querySelector("button").onclick = () => {
        delete field.dataset.edited;
        post(`/var?id=${id}&value=${encodeURIComponent(field.value)}`).catch(report);
      };
      body.appendChild(row);
    }
    const input = row.querySelector("input");
    if (document.activeElement !== input && !input.dataset.edited)
      input.value = value;
  }
}

function apply(state) {
  live.version = state.version;
  live.width = state.window.width;
  live.height = state.window.height;
  if (!panel.style.width)
    setZoom(live.zoom);
  showPicture(state.picture).catch(report);
  appendTrace(state.trace);
  live.traceNext = state.trace_next;
  playSounds(state.sounds);
  followSong(state.songs);
  showDrive(state.cd);
  showVariables(state.variables);
  element("status").textContent = "live: frame " + state.frames;
}

function report(error) {
  element("status").textContent = String(error);
}

// The page asks for the state again as soon as it has it: the bench answers when something new
// is there, or after two seconds.
// With "?still" in its address the page asks for the state once, draws it and stops, its songs
// not played: nothing stays open, so that a browser taking a picture of the page sees it settle.
const still = new URLSearchParams(location.search).has("still");

async function poll() {
  if (still) {
    const response = await fetch(`/state?trace=0`);
    apply(await response.json());
    return;
  }
  for (;;) {
    try {
      const response = await fetch(`/state?seen=${live.version}&trace=${live.traceNext}`);
      if (!response.ok)
        throw new Error(await response.text());
      apply(await response.json());
    } catch (error) {
      report("the bench does not answer (" + error.message + "); trying again");
      await new Promise((resolve) => setTimeout(resolve, 1000));
    }
  }
}

let pointerAsked = 0;
async function showPointer(event) {
  const asked = ++pointerAsked;
  const point = windowPoint(event);
  const response = await fetch(`/pointer?x=${point.x}&y=${point.y}`);
  if (!response.ok || asked !== pointerAsked)
    return;
  const found = await response.json();
  panel.style.cursor = cursorStyle(found.cursor);
  const text = found.tooltip !== null ? found.tooltip : found.help !== null ? "help " + found.help : "";
  tooltip.hidden = text === "";
  tooltip.textContent = text;
  const box = element("frame").getBoundingClientRect();
  tooltip.style.left = event.clientX - box.left + 14 + "px";
  tooltip.style.top = event.clientY - box.top + 18 + "px";
}

let pointerTimer = null;
panel.addEventListener("mousemove", (event) => {
  clearTimeout(pointerTimer);
  pointerTimer = setTimeout(() => showPointer(event).catch(report), 40);
});
panel.addEventListener("mouseleave", () => {
  tooltip.hidden = true;
  if (live.pressed)
    release();
});

// The bench lets go of a held button that the page has not renewed for two seconds, so that a
// page gone mid-hold (its tab closed, its browser ended, the network lost) leaves no button
// repeating. While the person holds a button that repeats, the page renews the hold; the bench's
// answer says whether it still holds it.
const HOLD_RENEWAL_MS = 500;
let holdTimer = null;

function stopRenewing() {
  clearInterval(holdTimer);
  holdTimer = null;
}

function renewHold() {
  post("/hold").then((answer) => {
    if (!answer.pressed)
      stopRenewing();
  }).catch(report);
}

panel.addEventListener("mousedown", (event) => {
  if (event.button !== 0)
    return;
  event.preventDefault();
  const point = windowPoint(event);
  live.pressed = true;
  live.pressedAt = performance.now();
  live.pressPicture = live.shownPicture;
  stopRenewing();
  // Renewals begin once the press is answered: one that came before it would find nothing held.
  post(`/press?x=${point.x}&y=${point.y}`).then((answer) => {
    if (answer.repeats && live.pressed && holdTimer === null)
      holdTimer = setInterval(renewHold, HOLD_RENEWAL_MS);
  }).catch(report);
});

function release() {
  live.pressed = false;
  stopRenewing();
  post("/release").catch(report);
}
window.addEventListener("mouseup", (event) => {
  if (event.button === 0 && live.pressed)
    release();
});

element("zoom").addEventListener("change", (event) => setZoom(Number(event.target.value)));
element("add-variable").addEventListener("submit", (event) => {
  event.preventDefault();
  const id = element("new-id").value;
  const value = element("new-value").value;
  if (id !== "" && value !== "")
    post(`/var?id=${id}&value=${encodeURIComponent(value)}`).catch(report);
});

setZoom(Number(element("zoom").value));
poll();
