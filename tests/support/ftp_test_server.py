#!/usr/bin/python3
"""A real FTP server on 127.0.0.1 for the upload tests (pyftpdlib).

Prints "PORT <n>" on standard output once it listens, then serves until it is killed or its
standard input closes (so that a test that dies takes its server with it).

  --root DIR --user U --password P   one user, the folder DIR its home, full rights
  --refuse NAME                      the user may not enter DIR/NAME (CWD is refused)
  --cut-file NAME --cut-after N      while NAME is being stored, drop the data and the control
                                     connection after N bytes
  --log FILE                         one line a file stored: "A name" (ASCII) or "I name" (binary)
  --silent                           accept connections and never answer (for time-outs)
"""
import argparse
import os
import socket
import sys
import threading


def watch_stdin():
    try:
        while sys.stdin.buffer.read(4096):
            pass
    finally:
        os._exit(0)


def announce(port):
    sys.stdout.write("PORT %d\n" % port)
    sys.stdout.flush()


def silent_server():
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    announce(listener.getsockname()[1])
    held = []
    while True:
        conn, _ = listener.accept()
        held.append(conn)  # kept open, never answered


def ftp_server(args):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import DTPHandler, FTPHandler
    from pyftpdlib.servers import FTPServer

    authorizer = DummyAuthorizer()
    root = os.path.realpath(args.root)
    authorizer.add_user(args.user, args.password, root, perm="elradfmwMT")
    if args.refuse:
        refused = os.path.join(root, args.refuse)
        os.makedirs(refused, exist_ok=True)
        authorizer.override_perm(args.user, refused, perm="", recursive=True)

    class CuttingDTPHandler(DTPHandler):
        def handle_read(self):
            DTPHandler.handle_read(self)
            name = getattr(self.file_obj, "name", "") or ""
            if (args.cut_file and os.path.basename(name) == args.cut_file
                    and self.tot_bytes_received >= args.cut_after):
                control = self.cmd_channel
                self.close()
                control.close()

        handle_read_event = handle_read

    class Handler(FTPHandler):
        def ftp_STOR(self, file, mode="w"):
            if args.log:
                with open(args.log, "a", encoding="utf-8") as log:
                    log.write("%s %s\n" % (self._current_type.upper(), os.path.basename(file)))
            return FTPHandler.ftp_STOR(self, file, mode)

    Handler.authorizer = authorizer
    Handler.dtp_handler = CuttingDTPHandler
    Handler.auth_failed_timeout = 0.3  # pyftpdlib's 3 s would outlast the tests' short time-outs
    Handler.banner = "movra test server ready."
    server = FTPServer(("127.0.0.1", 0), Handler)
    announce(server.address[1])
    server.serve_forever(handle_exit=False)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root")
    parser.add_argument("--user", default="movra")
    parser.add_argument("--password", default="")
    parser.add_argument("--refuse")
    parser.add_argument("--cut-file")
    parser.add_argument("--cut-after", type=int, default=0)
    parser.add_argument("--log")
    parser.add_argument("--silent", action="store_true")
    args = parser.parse_args()
    threading.Thread(target=watch_stdin, daemon=True).start()
    if args.silent:
        silent_server()
    else:
        import logging
        logging.basicConfig(level=logging.CRITICAL)
        ftp_server(args)


if __name__ == "__main__":
    main()
