#!/usr/bin/env python3
"""The survey's directions (and, with a calibration, speeds and classes) on the
four real clips made into 320 x 240 sequences by
../shared/tools/traffic_sequences.py, against window_truth.json.

    bench/survey_clips.py PROGRAM SEQUENCES_DIR [CLIP=ROAD_POINTS ...]

ROAD_POINTS: four X,Y,U,V separated by ';'. Prints, per clip, each vehicle of
the truth with the logged line(s) whose passage overlaps its own."""
import csv
import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
TRUTH = os.path.join(HERE, "..", "..", "shared", "data", "traffic", "window_truth.json")
# In the sequences' view (after their transforms).
DIRECTIONS = {"parkway_oncoming_28s": "down", "road_topdown_20s": "down", "freeway_overpass_33s": "down"}


def truth_direction(clip, vehicle):
    if clip == "street_oblique_75s":
        return "down" if vehicle["lane"].startswith("LR") else "up"
    return DIRECTIONS[clip]


def run(program, sequences, clip, points):
    meta = json.load(open(os.path.join(sequences, clip, "meta.json")))
    work = tempfile.mkdtemp(prefix="tavo-survey-")
    os.mkdir(os.path.join(work, "pictures"))
    with open(os.path.join(work, "tavomotion.ini"), "w") as ini:
        ini.write("IMAGES_SAVE_DIRECTORY pictures\nEVERY_VEHICLE\n")
        for point in points:
            ini.write("ROAD_POINT %s\n" % point)
    subprocess.run([program, "0", "--source", os.path.join(sequences, clip, "frames", "%05d.bmp"),
                    "--fps", "%d/%d" % (meta["fps_num"], meta["fps_den"]), "--fast", "--headless"],
                   cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    with open(os.path.join(work, "pictures", "tavomotion-vehicles.csv")) as log:
        return list(csv.DictReader(log))


def main():
    program, sequences = sys.argv[1], sys.argv[2]
    calibrations = dict(arg.split("=", 1) for arg in sys.argv[3:])
    truth = json.load(open(TRUTH))["vehicles"]
    right = total = 0
    for clip, vehicles in truth.items():
        points = calibrations.get(clip, "").split(";") if clip in calibrations else []
        lines = run(program, sequences, clip, points)
        print("== %s: %d vehicles in the truth, %d lines" % (clip, len(vehicles), len(lines)))
        for vehicle in vehicles:
            if vehicle["t_in"] < 5:  # the empty scene is learnt first
                continue
            overlapping = [l for l in lines if float(l["entered"]) < vehicle["t_out"] and
                           float(l["left"]) > vehicle["t_in"]]
            want = truth_direction(clip, vehicle)
            # The line that overlaps it most.
            best = max(overlapping, key=lambda l: min(float(l["left"]), vehicle["t_out"]) -
                       max(float(l["entered"]), vehicle["t_in"]), default=None)
            got = best["direction"] if best else "-"
            total += 1
            right += got == want
            print("  %-4s %-28s %-5s got %-5s speed %-6s length %-5s class %s" % (
                vehicle["id"], vehicle["desc"], want, got, best["speed_kmh"] if best else "",
                best["length_m"] if best else "", best["class"] if best else ""))
    print("direction right for %d of %d vehicles" % (right, total))


if __name__ == "__main__":
    main()
