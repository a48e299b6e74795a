#!/usr/bin/python3
"""A local SMTP server for the mail tests, on aiosmtpd.

Listens on 127.0.0.1 on a free port and prints that port on its first output
line once it accepts connections. Every message that arrives is written to
OUT/message-N.json: envelope, decoded subject and body, the attachment's name
and its bytes (base64), and the raw headers. With --account USER:PASSWORD the
server requires that login (over plain text, which is fine on the loopback).
Recipients at the domain given by --refuse-domain are refused with 550.
With --stall STAGE the server never answers at that stage of every session
(greeting, EHLO, MAIL, RCPT, DATA, end for the end of the message, QUIT) and
writes OUT/stalled once it holds its reply back; at "end" it first writes
OUT/arrived-N, as the whole message is then in. At "body" it stops reading the
message for two seconds after inviting it, and then reads on.
The server stops when its standard input closes.
"""
import argparse
import asyncio
import base64
import email
import email.policy
import email.utils
import json
import logging
import pathlib
import socket
import sys
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


STAGES = ("greeting", "EHLO", "MAIL", "RCPT", "DATA", "body", "end", "QUIT")


async def stall(out, seconds=3600):
    (out / "stalled").touch()
    await asyncio.sleep(seconds)


class StallingSMTP(SMTP):
    """Holds back its reply at one stage: before the greeting or before running
    the stalled command. The end of the message stalls in the handler."""

    def __init__(self, handler, out, stage, **kwargs):
        super().__init__(handler, **kwargs)
        self.out = out
        self.stage = stage
        command = self._smtp_methods.get(stage)
        if command:
            async def stalled(arg):
                await stall(self.out)
                await command(arg)
            self._smtp_methods[stage] = stalled

    async def _handle_client(self):
        if self.stage == "greeting":
            await stall(self.out)
        await super()._handle_client()

    async def push(self, status):
        await super().push(status)
        if self.stage == "body" and status.startswith("354"):
            await stall(self.out, 2)


class StallingController(Controller):
    """The connection the controller opens to see the server start is answered
    in full; the stall is kept for the client's."""

    def __init__(self, handler, stage, **kwargs):
        self.stage = stage
        self.starting = True
        super().__init__(handler, **kwargs)

    def factory(self):
        stage = None if self.starting else self.stage
        return StallingSMTP(self.handler, self.handler.out, stage, **self.SMTP_kwargs)

    def _trigger_server(self):
        super()._trigger_server()
        self.starting = False


def attachment_name(part):
    """The RFC 2231 name where the part has one (as mail programs prefer it), else the plain one."""
    params = part.get_params(header="content-disposition") or []
    extended = [value for name, value in params if name == "filename" and isinstance(value, tuple)]
    return email.utils.collapse_rfc2231_value(extended[0]) if extended else part.get_filename()


class Recorder:
    def __init__(self, out, refuse_domain, stall_at_end):
        self.out = pathlib.Path(out)
        self.refuse_domain = refuse_domain
        self.stall_at_end = stall_at_end
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.refuse_domain and address.lower().endswith("@" + self.refuse_domain):
            return "550 5.1.1 <%s>: Recipient address rejected: no such user" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.stall_at_end:
            (self.out / ("arrived-%d" % (self.count + 1))).touch()
            await stall(self.out)
        message = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        raw = email.message_from_bytes(envelope.original_content)
        raw_parts = raw.get_payload() if raw.is_multipart() else []
        body = message.get_body(preferencelist=("plain",))
        attachments = list(message.iter_attachments())
        attachment = attachments[0] if attachments else None
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "authenticated": bool(session.authenticated),
            "to": str(message["to"]),
            "from": str(message["from"]),
            "subject": str(message["subject"]),
            "date": email.utils.parsedate_to_datetime(raw["date"]).isoformat(),
            "raw_subject": raw["subject"],
            "raw_disposition": raw_parts[1]["content-disposition"] if len(raw_parts) > 1 else None,
            "body": body.get_content() if body is not None else None,
            "body_charset": body.get_content_charset() if body is not None else None,
            "attachment_name": attachment_name(raw_parts[1]) if len(raw_parts) > 1 else None,
            "attachment_fallback": raw_parts[1].get_filename() if len(raw_parts) > 1 else None,
            "attachment_encoding": attachment["content-transfer-encoding"] if attachment else None,
            "attachment": base64.b64encode(attachment.get_payload(decode=True)).decode() if attachment else None,
            "attachments": len(attachments),
        }
        self.count += 1
        (self.out / ("message-%d.eml" % self.count)).write_bytes(envelope.original_content)
        path = self.out / ("message-%d.json" % self.count)
        path.with_suffix(".part").write_text(json.dumps(record, ensure_ascii=False), encoding="utf-8")
        path.with_suffix(".part").rename(path)
        return "250 Message accepted for delivery"


def main():
    # Plain-text login is what the tests want on the loopback: no warnings about it.
    warnings.simplefilter("ignore")
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--account")
    parser.add_argument("--refuse-domain")
    parser.add_argument("--stall", choices=STAGES)
    args = parser.parse_args()

    def authenticate(server, session, envelope, mechanism, auth_data):
        user, _, password = args.account.partition(":")
        ok = auth_data.login.decode() == user and auth_data.password.decode() == password
        return AuthResult(success=ok, handled=False)

    options = {}
    if args.account:
        options = dict(authenticator=authenticate, auth_required=True, auth_require_tls=False)
    port = free_port()
    recorder = Recorder(args.out, args.refuse_domain, args.stall == "end")
    controller = StallingController(recorder, args.stall, hostname="127.0.0.1", port=port, server_kwargs=options)
    controller.start()
    print(port, flush=True)
    try:
        sys.stdin.read()
    finally:
        controller.stop()


if __name__ == "__main__":
    main()
