#!/usr/bin/env node
// node parse.js FILE
//
// The peer's side of bench/peers/run: reads FILE as UTF-8 and parses every
// line into parse-gedcom's tree, as `kinloom-cli load` reads and builds its
// records. Prints the number of top-level records so the parse is used.
'use strict';
const fs = require('fs');
const { parse } = require('parse-gedcom');

if (process.argv.length !== 3) {
  process.stderr.write('usage: node parse.js FILE\n');
  process.exit(2);
}
const root = parse(fs.readFileSync(process.argv[2], 'utf8'));
process.stdout.write(`records ${root.children.length}\n`);
