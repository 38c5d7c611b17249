#!/usr/bin/env python3
"""A simulated device on a serial line, for the line server's tests.

    line_sim.py --prefix WINEPREFIX --port com5 -- COMMAND [ARGS...]

starts a device process that owns a pseudo-terminal, links it into the Wine
prefix as the port (dosdevices/com5), runs COMMAND with LINE_SIM_CONTROL set
to the device's TCP control port on 127.0.0.1, and removes the link when
COMMAND ends (its exit code is this program's).

The device frames and checks packets by itself (0x81 start, byte pairs,
0xFF end; CRC-16 poly 0x8005, init 0xFFFF, final XOR 0xFFFF, high byte
first), written from the line format's description only. It answers
requests at scripted addresses, sends packets of its own, delays, paces
(115200 baud) or withholds answers, corrupts bytes, closes its end on
request and logs every frame. Control commands, one line each, answer one
line ("ok ..." or "err ..."):

  script ADDR STEP [STEP...]   answers for address ADDR; each frame to ADDR
                               takes the next step, the last one repeats;
                               Rasper's answer at 255 in a conversation with
                               ADDR takes the next step while more than one
                               is left. STEP: packets joined by ';', each
                               "-" (no payload), HEX (payload), ID/HEX or
                               ID/- (another id), */HEX (the request's id
                               with bit 7 set: a device cutting in), !HEX
                               (a packet whose CRC is wrong); "none"
                               answers nothing.
  send ID ADDR HEX|-           sends one packet now
  burst N ADDR HEX             sends N packets back to back (ids 128..255)
  delay MS | pace 0|1 | crc 0|1 | corrupt RATE | seed N
  wait KIND N MS               waits until N frames of KIND (rx, tx, bad)
  counts                       rx_bytes tx_bytes rx_frames tx_frames bad_frames
  log                          every frame as KIND:HEX, space-separated
  clear                        empties the log and the counts
  close                        closes the device's end of the line
"""
import argparse
import fcntl
import os
import random
import socket
import subprocess
import sys
import termios
import threading
import time
import tty

BYTE_TIME = 10 / 115200.0


def crc16(data, reg=0xFFFF):
    for b in data:
        for bit in range(7, -1, -1):
            feedback = ((reg >> 15) & 1) ^ ((b >> bit) & 1)
            reg = (reg << 1) & 0xFFFF
            if feedback:
                reg ^= 0x8005
    return reg


def with_crc(packet):
    c = crc16(packet) ^ 0xFFFF
    return packet + bytes([c >> 8, c & 0xFF])


def crc_ok(packet):
    return len(packet) >= 2 and crc16(packet) == 0x800D


def frame(packet):
    out = bytearray([0x81])
    for b in packet:
        out += bytes([0, b]) if b <= 0x80 else bytes([b - 0x80, 0x80])
    out.append(0xFF)
    return bytes(out)


class Deframer:
    def __init__(self):
        self.in_frame = False
        self.buf = bytearray()
        self.half = None

    def feed(self, data):
        packets = []
        for b in data:
            if b == 0x81:
                self.in_frame, self.buf, self.half = True, bytearray(), None
            elif b == 0xFF:
                if self.in_frame and self.half is None:
                    packets.append(bytes(self.buf))
                self.in_frame, self.buf, self.half = False, bytearray(), None
            elif not self.in_frame:
                pass
            elif b > 0x80:
                self.in_frame, self.buf, self.half = False, bytearray(), None
            elif self.half is None:
                self.half = b
            else:
                self.buf.append((self.half + b) & 0xFF)
                self.half = None
        return packets


class Device:
    def __init__(self, master):
        self.master = master
        self.lock = threading.Condition()
        self.write_lock = threading.Lock()
        self.scripts = {}
        self.talking = {}  # conversation id -> address
        self.delay = 0.0
        self.pace = False
        self.crc = True
        self.corrupt = 0.0
        self.rng = random.Random(1)
        self.closed = False
        self.clear()

    def clear(self):
        with self.lock:
            self.log = []
            self.rx_bytes = self.tx_bytes = 0
            self.counts = {"rx": 0, "tx": 0, "bad": 0}

    def note(self, kind, packet):
        with self.lock:
            self.log.append("%s:%s" % (kind, packet.hex() or "-"))
            self.counts[kind] += 1
            self.lock.notify_all()

    def write(self, data):
        if self.corrupt:
            data = bytes(b ^ (1 << self.rng.randrange(8)) if self.rng.random() < self.corrupt else b for b in data)
        with self.write_lock:
            if self.closed:
                return
            start = time.monotonic()
            for i in range(0, len(data), 16):
                chunk = data[i:i + 16]
                try:
                    os.write(self.master, chunk)
                except OSError:
                    return
                with self.lock:
                    self.tx_bytes += len(chunk)
                if self.pace:
                    due = start + (i + len(chunk)) * BYTE_TIME
                    while time.monotonic() < due:
                        pass

    def send(self, packet, broken=False):
        self.note("tx", packet)
        if broken:
            good = with_crc(packet)
            self.write(frame(good[:-1] + bytes([good[-1] ^ 0xFF])))
            return
        self.write(frame(with_crc(packet) if self.crc else packet))

    def answer(self, steps, ident, address):
        if self.delay:
            time.sleep(self.delay)
        for part in steps.split(";"):
            if part == "none":
                continue
            pid = ident
            broken = part.startswith("!")
            if broken:
                part = part[1:]
            if "/" in part:
                pid_text, part = part.split("/", 1)
                pid = ident | 0x80 if pid_text == "*" else int(pid_text)
            payload = b"" if part == "-" else bytes.fromhex(part)
            self.send(bytes([pid, address]) + payload, broken)

    def received(self, packet):
        if self.crc and not crc_ok(packet):
            self.note("bad", packet)
            return
        body = packet[:-2] if self.crc else packet
        self.note("rx", body)
        if len(body) < 2:
            return
        ident, address = body[0], body[1]
        answer = address == 255
        if answer:
            address = self.talking.get(ident)
            if address is None:
                return
        with self.lock:
            script = self.scripts.get(address)
            # Rasper's answer takes a step only while more than one is left;
            # the last step, kept for every request, is no answer to it.
            if not script or (answer and len(script) == 1):
                return
            step = script[0] if len(script) == 1 else script.pop(0)
        self.talking[ident] = address
        if self.pace:
            time.sleep(len(frame(packet)) * BYTE_TIME)
        if step != "none":
            self.answer(step, ident, address)

    def read_loop(self):
        deframer = Deframer()
        while True:
            try:
                data = os.read(self.master, 4096)
            except OSError:
                if self.closed:
                    return
                time.sleep(0.05)
                continue
            if not data:
                time.sleep(0.01)
                continue
            with self.lock:
                self.rx_bytes += len(data)
            if self.corrupt:
                data = bytes(b ^ (1 << self.rng.randrange(8)) if self.rng.random() < self.corrupt else b
                             for b in data)
            for packet in deframer.feed(data):
                self.received(packet)

    def command(self, line):
        words = line.split()
        if not words:
            return "err empty"
        cmd, args = words[0], words[1:]
        if cmd == "script":
            with self.lock:
                self.scripts[int(args[0])] = args[1:]
        elif cmd == "send":
            payload = b"" if args[2] == "-" else bytes.fromhex(args[2])
            self.send(bytes([int(args[0]), int(args[1])]) + payload)
        elif cmd == "burst":
            payload = bytes.fromhex(args[2])
            data = bytearray()
            for i in range(int(args[0])):
                packet = bytes([0x80 | (i % 128), int(args[1])]) + payload
                self.note("tx", packet)
                data += frame(with_crc(packet) if self.crc else packet)
            self.write(bytes(data))
        elif cmd == "delay":
            self.delay = int(args[0]) / 1000.0
        elif cmd == "pace":
            self.pace = args[0] == "1"
        elif cmd == "crc":
            self.crc = args[0] == "1"
        elif cmd == "corrupt":
            self.corrupt = float(args[0])
        elif cmd == "seed":
            self.rng.seed(int(args[0]))
        elif cmd == "wait":
            kind, n, deadline = args[0], int(args[1]), time.monotonic() + int(args[2]) / 1000.0
            with self.lock:
                while self.counts[kind] < n and time.monotonic() < deadline:
                    self.lock.wait(max(0.0, deadline - time.monotonic()))
                return "ok %d" % self.counts[kind]
        elif cmd == "counts":
            with self.lock:
                c = self.counts
                return "ok %d %d %d %d %d" % (self.rx_bytes, self.tx_bytes, c["rx"], c["tx"], c["bad"])
        elif cmd == "log":
            with self.lock:
                return "ok " + " ".join(self.log)
        elif cmd == "clear":
            self.clear()
            with self.lock:
                self.scripts = {}
        elif cmd == "close":
            with self.write_lock:
                self.closed = True
                os.close(self.master)
        else:
            return "err unknown command " + cmd
        return "ok"


def serve_control(device, listener):
    def client(conn):
        with conn, conn.makefile("rw", newline="\n") as f:
            for line in f:
                try:
                    reply = device.command(line.strip())
                except Exception as e:  # a bad command must not end the device
                    reply = "err %s" % e
                f.write(reply + "\n")
                f.flush()

    while True:
        conn, _ = listener.accept()
        threading.Thread(target=client, args=(conn,), daemon=True).start()


def run_device(args):
    # The device owns the pseudo-terminal's session, so that the wineserver
    # opening it does not take it as its controlling terminal.
    os.setsid()
    master, slave = os.openpty()
    tty.setraw(slave)
    fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
    link = os.path.join(args.prefix, "dosdevices", args.port.lower())
    if os.path.lexists(link):
        os.unlink(link)
    os.symlink(os.ttyname(slave), link)
    device = Device(master)
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    threading.Thread(target=device.read_loop, daemon=True).start()
    threading.Thread(target=serve_control, args=(device, listener), daemon=True).start()
    with open(args.ready, "w") as f:
        f.write(str(listener.getsockname()[1]))
    # Until the runner closes our standard input.
    sys.stdin.read()
    try:
        os.unlink(link)
    except OSError:
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--port", default="com5")
    parser.add_argument("--device", action="store_true")
    parser.add_argument("--ready")
    parser.add_argument("command", nargs="*")
    args = parser.parse_args()
    if args.device:
        run_device(args)
        return 0
    ready = os.path.join(args.prefix, "line_sim.%d.%s" % (os.getpid(), args.port))
    device = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--device", "--prefix", args.prefix,
                               "--port", args.port, "--ready", ready], stdin=subprocess.PIPE)
    deadline = time.monotonic() + 10
    while not os.path.exists(ready) or not open(ready).read():
        if time.monotonic() > deadline or device.poll() is not None:
            print("line_sim: the device did not start")
            return 1
        time.sleep(0.02)
    env = dict(os.environ, LINE_SIM_CONTROL=open(ready).read(), LINE_SIM_PORT=args.port.upper())
    os.unlink(ready)
    try:
        rc = subprocess.call(args.command, env=env)
    finally:
        device.stdin.close()
        device.wait(10)
    return rc


if __name__ == "__main__":
    sys.exit(main())
