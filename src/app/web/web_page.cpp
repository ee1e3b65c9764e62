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
body { font-family: sans-serif; margin: 8px; background: #f4f4f4; color: #222; }
h1 { font-size: 1.1em; margin: 0.2em 0; }
#live { display: block; max-width: 100%; height: auto; border: 1px solid #888; background: #fff; }
#title { font-family: monospace; font-size: 0.85em; white-space: pre-wrap; margin: 0.3em 0; }
table { border-collapse: collapse; font-size: 0.9em; }
td { padding: 0.1em 0.6em 0.1em 0; vertical-align: top; }
#chart { display: block; max-width: 100%; height: auto; border: 1px solid #888; }
#pictures { display: flex; flex-wrap: wrap; gap: 0.5em; }
figure { margin: 0; width: 162px; font-size: 0.8em; text-align: center; }
figure img { width: 160px; height: 120px; object-fit: cover; border: 1px solid #888; }
.away { color: #b00; font-weight: bold; }
</style>
</head>
<body>
<img id="live" src="/stream.mjpg" width="800" height="500" alt="the live window">
<h1>tavomotion</h1>
<p id="title"></p>
<table id="status"></table>
<div id="survey" hidden>
<h1>Traffic today <a href="/vehicles.csv">(vehicles)</a> <a href="/counts.csv">(counts)</a></h1>
<img id="chart" width="1200" height="820" alt="today's traffic survey">
</div>
<h1>Newest pictures <a id="events" href="/events.csv" hidden>(event log)</a></h1>
<div id="pictures"></div>
<script>
"use strict";
const rows = [["state", "state"], ["mode", "mode"], ["source", "source"], ["camera", "sourceState"],
              ["last frame at", "lastFrameTime"], ["reconnects", "reconnects"], ["frame", "frame"],
              ["frames/s", "fps"], ["pictures this run", "picturesSaved"], ["last picture", "lastPicture"],
              ["saved at", "lastPictureTime"], ["up for", "uptimeSeconds"], ["version", "version"]];
const shownPictures = 12;
let listed = "";
let chartDrawn = 0;

function duration(seconds) {
  const d = Math.floor(seconds / 86400), h = Math.floor(seconds % 86400 / 3600);
  const m = Math.floor(seconds % 3600 / 60), s = seconds % 60;
  return (d ? d + " d " : "") + (d || h ? h + " h " : "") + m + " min " + s + " s";
}

// "delivering", or since when the camera is lost and whether it is being reopened.
function cameraText(status) {
  if (status.lostSince === null) return status.sourceState;
  return "lost since " + status.lostSince + (status.sourceState === "reconnecting" ? ", reconnecting" : "");
}

function shown(status, key) {
  const value = status[key];
  if (key === "uptimeSeconds") return duration(value);
  if (key === "sourceState") return cameraText(status);
  return value === null ? "-" : value;
}

function showStatus(status) {
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
    const cell = row.insertCell();
    cell.textContent = shown(status, key);
    if (key === "sourceState" && status.lostSince !== null) cell.className = "away";
  }
}

// One figure per picture number: the JPEG when there is one, else the BMP.
function newestPictures(list) {
  const byNumber = new Map();
  for (const picture of list) {
    const number = picture.name.replace(/\D/g, "");
    const known = byNumber.get(number);
    if (!known || picture.name.endsWith(".jpg")) byNumber.set(number, picture);
  }
  return [...byNumber.values()].slice(0, shownPictures);
}

function showPictures(list) {
  const key = JSON.stringify(list.slice(0, 2 * shownPictures));
  if (key === listed) return;
  listed = key;
  const box = document.getElementById("pictures");
  box.replaceChildren();
  for (const picture of newestPictures(list)) {
    const figure = document.createElement("figure");
    const link = document.createElement("a");
    link.href = "/pictures/" + picture.name;
    const image = document.createElement("img");
    image.src = link.href;
    image.alt = picture.name;
    link.append(image);
    const caption = document.createElement("figcaption");
    caption.textContent = picture.name + " " + picture.time.replace("T", " ").replace("Z", " UTC");
    figure.append(link, caption);
    box.append(figure);
  }
}

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
