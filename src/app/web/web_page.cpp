#include "app/web/web_page.h"

namespace app::web {

const std::string& pageHtml() {
    static const std::string page = R"html(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>tavomotion</title>
<style>
* { box-sizing: border-box; }
body { font-family: sans-serif; margin: 8px; background: #f4f4f4; color: #222; overflow-wrap: anywhere; }
h1 { font-size: 1.2em; margin: 0 0.4em 0.2em 0; display: inline; }
h2 { font-size: 1em; margin: 0.8em 0 0.3em; }
/* The live window beside the figures and the newest pictures on a wide
   screen, above them on a narrow one; nothing wider than the screen. */
#top { display: grid; grid-template-columns: minmax(0, 674px) minmax(0, 1fr); gap: 16px; align-items: start; }
@media (max-width: 900px) { #top { grid-template-columns: minmax(0, 1fr); } }
/* Of the 800 x 500 window only its top-left 672 x 302 holds anything: the
   live and the saved frame, the status line and the gauge. */
#livebox { width: 674px; max-width: 100%; aspect-ratio: 674 / 304; overflow: hidden; border: 1px solid #888;
           background: #fff; }
#live { display: block; width: calc(100% * 800 / 672); height: auto; }
#title { font-family: monospace; font-size: 0.8em; white-space: pre-wrap; margin: 0.3em 0; }
#health { padding: 0.1em 0.5em; border-radius: 0.3em; background: #2a7; color: #fff; white-space: nowrap; }
#health.away { background: #c22; }
#health.waiting { background: #b80; }
table { border-collapse: collapse; font-size: 0.9em; width: 100%; table-layout: fixed; }
td { padding: 0.1em 0.6em 0.1em 0; vertical-align: top; }
td:first-child { width: 9em; color: #555; }
#recent td:first-child { width: 7em; }
#chart { display: block; max-width: 100%; height: auto; border: 1px solid #888; }
#pictures { display: grid; grid-template-columns: repeat(auto-fill, minmax(150px, 1fr)); gap: 0.5em; }
figure { margin: 0; font-size: 0.8em; text-align: center; min-width: 0; }
figure img { display: block; width: 100%; aspect-ratio: 4 / 3; height: auto; object-fit: cover; border: 1px solid #888; }
nav button { font-size: 1em; margin-right: 0.5em; }
</style>
</head>
<body>
<div id="top">
<div>
<div id="livebox"><img id="live" src="/stream.mjpg" width="800" height="500" alt="the live window"></div>
<p id="title"></p>
</div>
<div>
<h1 id="name">tavomotion</h1> <span id="health" class="waiting">connecting</span>
<table id="status"></table>
<h2>Newest pictures <a id="events" href="/events.csv" hidden>(event log)</a></h2>
<table id="recent"></table>
</div>
</div>
<div id="survey" hidden>
<h2>Traffic today <a href="/vehicles.csv">(vehicles)</a> <a href="/counts.csv">(counts)</a></h2>
<img id="chart" width="1200" height="820" alt="today's traffic survey">
</div>
<h2>All pictures <span id="range"></span></h2>
<nav><button id="newer" type="button">&larr; newer</button><button id="older" type="button">older &rarr;</button></nav>
<div id="pictures"></div>
<script>
"use strict";
const rows = [["state", "state"], ["mode", "mode"], ["source", "source"], ["last frame at", "lastFrameTime"],
              ["reconnects", "reconnects"], ["frame", "frame"], ["frames/s", "fps"],
              ["pictures this run", "picturesSaved"], ["up for", "uptimeSeconds"], ["version", "version"]];
const recentCount = 8;
const pageSize = 50;
let pictures = [];
let listed = "";
let page = 0;
let chartDrawn = 0;

function duration(seconds) {
  const d = Math.floor(seconds / 86400), h = Math.floor(seconds % 86400 / 3600);
  const m = Math.floor(seconds % 3600 / 60), s = seconds % 60;
  return (d ? d + " d " : "") + (d || h ? h + " h " : "") + m + " min " + s + " s";
}

function two(number) { return String(number).padStart(2, "0"); }

// A camera's picture by the local wall time; a recording's by where in it
// (0:14.3), as the contact sheet captions them.
function whenTaken(picture) {
  if (picture.position !== undefined) {
    const tenths = Math.floor(picture.position * 10 + 1e-6);
    const h = Math.floor(tenths / 36000), m = Math.floor(tenths / 600) % 60;
    const rest = two(Math.floor(tenths / 10) % 60) + "." + tenths % 10;
    return h ? h + ":" + two(m) + ":" + rest : m + ":" + rest;
  }
  const t = new Date(picture.time);
  return t.getFullYear() + "-" + two(t.getMonth() + 1) + "-" + two(t.getDate()) + " " +
         two(t.getHours()) + ":" + two(t.getMinutes()) + ":" + two(t.getSeconds());
}

// "delivering", or since when the camera is lost and whether it is being reopened.
function showHealth(status) {
  const health = document.getElementById("health");
  const away = status.lostSince !== null;
  health.textContent = away ? "lost since " + status.lostSince +
                              (status.sourceState === "reconnecting" ? ", reconnecting" : "")
                            : status.sourceState;
  health.className = away ? "away" : status.sourceState === "delivering" ? "" : "waiting";
}

function shown(status, key) {
  const value = status[key];
  if (key === "uptimeSeconds") return duration(value);
  return value === null || value === undefined ? "-" : value;
}

function showStatus(status) {
  const name = status.cameraName || "tavomotion";
  document.getElementById("name").textContent = name;
  document.title = name + " - tavomotion";
  showHealth(status);
  document.getElementById("title").textContent = status.title;
  document.getElementById("events").hidden = !status.eventLog;
  const surveying = status.mode === "every vehicle";
  document.getElementById("survey").hidden = !surveying;
  // The chart is drawn anew from the vehicle log at most every 30 s.
  if (surveying && Date.now() - chartDrawn > 30000) {
    chartDrawn = Date.now();
    document.getElementById("chart").src = "/chart.png?" + chartDrawn;
  }
  const table = document.getElementById("status");
  table.replaceChildren();
  for (const [label, key] of rows) {
    const row = table.insertRow();
    row.insertCell().textContent = label;
    row.insertCell().textContent = shown(status, key);
  }
}

// One entry per picture number: the JPEG when there is one, else the BMP.
function onePerNumber(list) {
  const byNumber = new Map();
  for (const picture of list) {
    const number = picture.name.replace(/\D/g, "");
    const known = byNumber.get(number);
    if (!known || picture.name.endsWith(".jpg")) byNumber.set(number, picture);
  }
  return [...byNumber.values()];
}

function linkTo(picture, content) {
  const link = document.createElement("a");
  link.href = "/pictures/" + picture.name;
  link.append(content);
  return link;
}

function showRecent() {
  const table = document.getElementById("recent");
  table.replaceChildren();
  for (const picture of pictures.slice(0, recentCount)) {
    const row = table.insertRow();
    row.insertCell().append(linkTo(picture, picture.name.replace(/\.\w+$/, "")));
    row.insertCell().textContent = whenTaken(picture);
  }
}

function showPage() {
  const pages = Math.max(1, Math.ceil(pictures.length / pageSize));
  page = Math.min(page, pages - 1);
  const first = page * pageSize;
  const shownHere = pictures.slice(first, first + pageSize);
  document.getElementById("range").textContent = pictures.length === 0 ? "(none yet)" :
      "(" + (first + 1) + " to " + (first + shownHere.length) + " of " + pictures.length + ", newest first)";
  document.getElementById("newer").disabled = page === 0;
  document.getElementById("older").disabled = page >= pages - 1;
  const box = document.getElementById("pictures");
  box.replaceChildren();
  for (const picture of shownHere) {
    const image = document.createElement("img");
    image.src = "/pictures/" + picture.name;
    image.alt = picture.name;
    image.loading = "lazy";
    const caption = document.createElement("figcaption");
    caption.textContent = picture.name.replace(/\.\w+$/, "") + " " + whenTaken(picture);
    const figure = document.createElement("figure");
    figure.append(linkTo(picture, image), caption);
    box.append(figure);
  }
}

function showPictures(list) {
  const key = JSON.stringify(list);
  if (key === listed) return;
  listed = key;
  pictures = onePerNumber(list);
  showRecent();
  showPage();
}

document.getElementById("newer").onclick = () => { page = Math.max(0, page - 1); showPage(); };
document.getElementById("older").onclick = () => { page += 1; showPage(); };

async function refresh(url, show) {
  try {
    const response = await fetch(url, {cache: "no-store"});
    if (response.ok) show(await response.json());
  } catch (error) {
    document.getElementById("title").textContent = "no answer from the camera";
  }
}

function refreshAll() {
  refresh("/status.json", showStatus);
  refresh("/pictures/", showPictures);
}
refreshAll();
setInterval(refreshAll, 3000);
</script>
</body>
</html>
)html";
    return page;
}

}  // namespace app::web
