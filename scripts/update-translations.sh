#!/usr/bin/env bash
# Refreshes the translation catalogues from the sources: lupdate adds new texts
# (unfinished) and keeps texts that left the sources as vanished, so they come
# back translated if they return. The English catalogues then get a finished
# identity entry for every text (a catalogue without finished entries cannot
# be installed), and fr_CA and es_MX take what fr_FR and es_ES translate.
# Run after adding or changing user-visible texts; commit the .ts files.
set -euo pipefail
cd "$(dirname "$0")/.."

locales=(en_GB en_US de_DE fr_FR fr_CA es_ES es_MX pt_PT tr_TR)
catalogues=()
for locale in "${locales[@]}"; do
  catalogue="resources/translations/$locale.ts"
  # A new catalogue names its language, which lupdate does not guess.
  [ -f "$catalogue" ] || printf '<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n<TS version="2.1" language="%s">\n</TS>\n' \
    "$locale" >"$catalogue"
  catalogues+=("$catalogue")
done

update() { lupdate -silent -locations none -extensions cpp,h,ui src Sources devicediscovery -ts "${catalogues[@]}"; }
update
python3 scripts/fill-translations.py resources/translations
update # back to lupdate's own layout, so a refresh changes only what changed
