#!/usr/bin/env python3
"""Completes the catalogues that need no translator (see update-translations.sh).

en_GB and en_US: every unfinished entry becomes its own source text.
fr_CA and es_MX: every entry takes the finished translation of the same text
in fr_FR and es_ES, so a translation changed there changes here too.
"""
import os
import sys
import xml.etree.ElementTree as ET

IDENTITY = ["en_GB", "en_US"]
FOLLOWERS = {"fr_CA": "fr_FR", "es_MX": "es_ES"}


def key(context, message):
    return (context.findtext("name"), message.findtext("source"), message.findtext("comment"))


def unfinished(message):
    return message.find("translation").get("type") == "unfinished"


def finish(message, forms):
    translation = message.find("translation")
    translation.attrib.pop("type", None)
    if message.get("numerus") == "yes":
        for form, text in zip(translation.findall("numerusform"), forms):
            form.text = text
    else:
        translation.text = forms[0]


def forms_of(message):
    translation = message.find("translation")
    if message.get("numerus") == "yes":
        return [form.text or "" for form in translation.findall("numerusform")]
    return [translation.text or ""]


def messages(root):
    for context in root.iter("context"):
        for message in context.iter("message"):
            yield context, message


def fill(path, lookup, every=False):
    tree = ET.parse(path)
    changed = False
    for context, message in messages(tree.getroot()):
        if unfinished(message) or (every and message.find("translation").get("type") is None):
            forms = lookup(context, message)
            if forms is not None and (unfinished(message) or forms != forms_of(message)):
                finish(message, forms)
                changed = True
    if changed:
        with open(path, "w", encoding="utf-8") as out:
            out.write('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
            out.write(ET.tostring(tree.getroot(), encoding="unicode"))
            out.write("\n")


def finished_translations(path):
    found = {}
    for context, message in messages(ET.parse(path).getroot()):
        if not unfinished(message) and message.find("translation").get("type") is None:
            found[key(context, message)] = forms_of(message)
    return found


def identity(context, message):
    count = 2 if message.get("numerus") == "yes" else 1  # English has two plural forms
    return [message.findtext("source")] * count


def main():
    folder = sys.argv[1]
    for locale in IDENTITY:
        fill(os.path.join(folder, locale + ".ts"), identity)
    for follower, leader in FOLLOWERS.items():
        known = finished_translations(os.path.join(folder, leader + ".ts"))
        fill(os.path.join(folder, follower + ".ts"), lambda context, message: known.get(key(context, message)), every=True)


if __name__ == "__main__":
    main()
