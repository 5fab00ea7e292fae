// The built tessmere-model as a user runs it: exit codes, messages, and its glTF files through
// the Khronos validator. Usage: node program-test.js TESSMERE-MODEL
const assert = require('assert');
const fs = require('fs');
const validator = require('gltf-validator'); // scripts/test installs it in build/node

const folder = fs.mkdtempSync(`${require('os').tmpdir()}/tessmere-model-`);
const run = (code, says, ...args) => {
  const result = require('child_process').spawnSync(process.argv[2], args, { cwd: folder, encoding: 'utf8' });
  assert.ok(result.status === code && result.stderr.includes(says),
    `${args.join(' ')}: exit ${result.status}, ${result.stderr}`);
};
// 2 x 2 pixels, 16-bit grey: white at the top left, the rest black.
fs.writeFileSync(`${folder}/map.png`, Buffer.from('iVBORw0KGgoAAAANSUhEUgAAAAIAAAACEAAAAAAHTY67AAAADUlEQVR4nGP4/58BAgAQ+QH/iz3TfwAAAABJRU5ErkJggg==', 'base64'));
run(2, "no command given\nTry 'tessmere-model --help'");
run(2, "unknown command 'show'", 'show', 'model.dat');
run(2, "--white: needs a number, not 'deep'", 'import', 'map.png', '--out', 'x', '--white', 'deep', '--black', '0');
run(2, '0.5 lies above height 0', 'import', 'map.png', '--out=x', '--white=-1', '--black', '0.5');

run(0, '', '--version');
run(0, '', 'import', 'map.png', '--out', 'model.dat', '--white', '-0.5', '--black', '0');
run(1, 'model.dat already exists; give --force', 'import', 'map.png', '--out', 'model.dat', '--white', '-1', '--black', '0');
run(1, 'cannot open no-such.dat', 'info', 'no-such.dat');
run(0, '', 'export', 'model.dat', '--gltf', 'whole.glb');
run(0, '', 'export', 'model.dat', '--gltf', 'drawn.glb', '--drawn-only');
fs.chmodSync(`${folder}/model.dat`, 0o444);
run(1, 'cannot write model.dat (a read-only', 'export', 'model.dat', '--obj', 'model.dat', '--force');
run(1, 'the model file cannot be written (read-only', 'import', 'map.png', '--out', 'model.dat', '--force', '--white', '-1', '--black', '0');

// A failed check rejects, and node ends on an unhandled rejection with exit code 1.
(async () => {
  // Only the triangle in the south-east corner cell lies all at height 0.
  for (const [file, triangles] of [['whole.glb', 9522], ['drawn.glb', 9521]]) {
    const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(`${folder}/${file}`)));
    assert.deepStrictEqual(report.issues.messages, [], file);
    assert.strictEqual(report.info.totalTriangleCount, triangles, file);
  }
  fs.rmSync(folder, { recursive: true, force: true });
})();
