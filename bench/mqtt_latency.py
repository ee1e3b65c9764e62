#!/usr/bin/env python3
"""How long after its line in the log a record reaches a subscriber.

    bench/mqtt_latency.py [BUILD_DIR] [--scene-seconds N] [--real-speed] [--every-vehicle]

Runs the built-in scene (replayed fast by default) with --mqtt to a local
mosquitto of its own. The log (the picture log, or the vehicle log with
--every-vehicle) is watched every half millisecond for new lines; a
subscriber (mosquitto_sub, QoS 1) stamps each `vehicle` message as it
arrives. Prints the median, 90th percentile and largest delay between the
two, and any record that never arrived. The goal: a median within 100 ms.
"""
import argparse
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROAD = "ROAD_POINT 25,120,-3,12\nROAD_POINT 275,120,3,12\nROAD_POINT 75,24,-3,20\nROAD_POINT 225,24,3,20\n"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port):
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", port), 0.1).close()
            return
        except OSError:
            time.sleep(0.1)
    sys.exit("mosquitto did not start")


def record_key(line):
    # The vehicle log's first column is the vehicle's number, the picture log's the picture's.
    return line.split(",", 1)[0]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(os.path.dirname(__file__), "..", "build"))
    parser.add_argument("--scene-seconds", type=int, default=600)
    parser.add_argument("--real-speed", action="store_true")
    parser.add_argument("--every-vehicle", action="store_true")
    args = parser.parse_args()
    program = os.path.abspath(os.path.join(args.build, "tavomotion"))
    subprocess.run(["cmake", "--build", args.build, "--target", "tavomotion"], check=True,
                   stdout=subprocess.DEVNULL)

    with tempfile.TemporaryDirectory() as scratch:
        port = free_port()
        with open(os.path.join(scratch, "mosquitto.conf"), "w") as conf:
            conf.write(f"listener {port} 127.0.0.1\nallow_anonymous true\nuser {os.environ.get('USER', 'root')}\n")
        broker = subprocess.Popen(["mosquitto", "-c", os.path.join(scratch, "mosquitto.conf")],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_for_port(port)
            run(program, scratch, port, args)
        finally:
            broker.terminate()
            broker.wait()


def run(program, scratch, port, args):
    camera = os.path.join(scratch, "camera")
    os.makedirs(os.path.join(camera, "pictures"))
    with open(os.path.join(camera, "tavomotion.ini"), "w") as ini:
        ini.write("IMAGES_SAVE_DIRECTORY pictures\n" + (ROAD if args.every_vehicle else ""))
    log = os.path.join(camera, "pictures",
                       "tavomotion-vehicles.csv" if args.every_vehicle else "tavomotion-pictures.csv")

    arrived = {}
    subscriber = subprocess.Popen(["mosquitto_sub", "-h", "127.0.0.1", "-p", str(port), "-q", "1",
                                   "-t", "tavomotion/bench/vehicle", "-F", "%U %p"],
                                  stdout=subprocess.PIPE, text=True)

    def listen():
        for line in subscriber.stdout:
            stamp, payload = line.split(" ", 1)
            member = '"vehicle":' if args.every_vehicle else '"number":'
            key = payload.split(member, 1)[1].split(",", 1)[0]
            arrived.setdefault(key, float(stamp))

    listener = threading.Thread(target=listen, daemon=True)
    listener.start()
    time.sleep(0.5)

    command = [program, "0", "--source", "synthetic:7", "--headless", "--run-for", str(args.scene_seconds),
               "--mqtt", f"mqtt://127.0.0.1:{port}", "--camera-name", "bench"]
    command += [] if args.real_speed else ["--fast"]
    command += ["--every-vehicle"] if args.every_vehicle else ["--picture-log"]
    watched = subprocess.Popen(command, cwd=camera, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    logged = {}
    read = 0
    pending = ""
    while True:
        running = watched.poll() is None
        try:
            with open(log) as file:
                file.seek(read)
                more = file.read()
        except FileNotFoundError:
            more = ""
        now = time.time()
        read += len(more.encode())
        pending += more
        *lines, pending = pending.split("\n")
        for line in lines:
            key = record_key(line)
            if key.isdigit():
                logged[key] = now
        if not running:
            break
        time.sleep(0.0005)
    time.sleep(1)
    subscriber.terminate()
    listener.join(2)

    delays = sorted((arrived[key] - at) * 1000 for key, at in logged.items() if key in arrived)
    missing = [key for key in logged if key not in arrived]
    mode = "every-vehicle mode, the vehicle log" if args.every_vehicle else "default mode, the picture log"
    speed = "real speed" if args.real_speed else "replayed fast"
    print(f"synthetic:7, {args.scene_seconds} s {speed}, {mode}: {len(logged)} records, {len(missing)} never arrived")
    if delays:
        p90 = delays[min(len(delays) - 1, int(0.9 * len(delays)))]
        print(f"delay from the log line to the subscriber: median {statistics.median(delays):.2f} ms, "
              f"90th percentile {p90:.2f} ms, largest {delays[-1]:.2f} ms "
              "(negative: the message arrived before the line was seen in the log)")


if __name__ == "__main__":
    main()
