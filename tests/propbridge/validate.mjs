// Validates glTF files with the glTF validator (npm package gltf-validator):
//   node validate.mjs <folder that holds node_modules/gltf-validator> file.gltf|file.glb|folder...
// (a folder stands for every .gltf and .glb file below it, and must hold at least one).
// Prints one line per file ("<file>: <n> errors, <n> warnings") and each error after it;
// exits with 0 when no file has an error, 1 when one has, 2 when the validator cannot run.
// Every buffer must be there; a texture picture (.dds) missing beside the file counts as present,
// since the game's textures do not travel with an export.
import { createRequire } from 'node:module';
import { readFile, readdir, stat } from 'node:fs/promises';
import path from 'node:path';

const [installFolder, ...named] = process.argv.slice(2);
if (!installFolder || named.length === 0) {
  console.error('usage: node validate.mjs <validator folder> file.gltf|file.glb...');
  process.exit(2);
}
let validator;
try {
  validator = createRequire(path.join(path.resolve(installFolder), 'package.json'))('gltf-validator');
} catch (e) {
  console.error(`the glTF validator is not installed in ${installFolder} (scripts/test.sh installs it): ${e.message}`);
  process.exit(2);
}

let failed = false;
const files = [];
for (const name of named) {
  if (!(await stat(name).catch(() => null))?.isDirectory()) {
    files.push(name);
    continue;
  }
  const found = (await readdir(name, { recursive: true })).filter((f) => /\.(gltf|glb)$/i.test(f)).sort();
  if (found.length === 0) {
    console.log(`${name}: no glTF file to validate`);
    failed = true;
  }
  files.push(...found.map((f) => path.join(name, f)));
}
for (const file of files) {
  const loadResource = async (uri) => {
    const name = decodeURIComponent(uri);
    try {
      return new Uint8Array(await readFile(path.resolve(path.dirname(file), name)));
    } catch (e) {
      if (/\.dds$/i.test(name)) return new Uint8Array(0);
      throw e.toString();
    }
  };
  try {
    const report = await validator.validateBytes(new Uint8Array(await readFile(file)), {
      uri: path.basename(file), maxIssues: 0, writeTimestamp: false, externalResourceFunction: loadResource,
    });
    const { numErrors, numWarnings, messages } = report.issues;
    console.log(`${file}: ${numErrors} errors, ${numWarnings} warnings`);
    for (const m of messages) if (m.severity === 0) console.log(`  ${m.code} at ${m.pointer}: ${m.message}`);
    if (numErrors > 0) failed = true;
  } catch (e) {
    console.log(`${file}: cannot be validated: ${e}`);
    failed = true;
  }
}
process.exit(failed ? 1 : 0);
