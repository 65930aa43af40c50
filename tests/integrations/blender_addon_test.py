# The Blender add-on in the real Blender, in background mode: installed from the zip the
# build makes, its operators run against a scripted pick of a demo chip, a cancel and a
# missing program. Run: blender --background --factory-startup --python THIS -- ZIP PALETTRA
import json
import os
import shutil
import subprocess
import sys

import bpy

zip_path, palettra = sys.argv[sys.argv.index("--") + 1:][:2]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def close(a, b, tolerance=1e-5):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


bpy.ops.preferences.addon_install(filepath=zip_path, overwrite=True)
bpy.ops.preferences.addon_enable(module="palettra_blender")
prefs = bpy.context.preferences.addons["palettra_blender"].preferences
check(bpy.context.preferences.addons.get("palettra_blender") is not None, "the add-on is enabled")
prefs.program = palettra

# What the scripted pick gives, asked of the picker itself.
os.environ["PALETTRA_PICK_ARGS"] = '--search "OT 1042" --accept'
chip = json.loads(subprocess.run([palettra, "--pick", "--format", "json", "--search", "OT 1042", "--accept"],
                                 check=True, capture_output=True, text=True).stdout)
# Studio Seafoam, rgb(86, 189, 198), in scene-linear values: the published sRGB transfer
# function's values for those levels, not the formula under test.
check(chip["rgb"] == [86, 189, 198], "the demo's OT 1042 is rgb(86, 189, 198): %s" % chip["rgb"])
expected = (0.093059, 0.508881, 0.564712, 1.0)

cube = bpy.data.objects["Cube"]
bpy.context.view_layer.objects.active = cube
material = cube.active_material
check(material is not None and material.name == "Material", "the factory cube has Blender's default material")

result = bpy.ops.palettra.pick_material_colour()
check(result == {"FINISHED"}, "the material pick finished: %s" % result)
material = cube.active_material
base = next(node for node in material.node_tree.nodes if node.type == "BSDF_PRINCIPLED").inputs["Base Color"].default_value
check(close(tuple(base), expected), "Base Color %s is the chip's linear sRGB %s" % (tuple(base), expected))
check(close(tuple(material.diffuse_color), expected), "the viewport colour is the chip's")
check(material.name == "OT 1042 Studio Seafoam", "the material is named after the paint: %s" % material.name)
check(material.get("palettra_code") == "OT 1042", "the code is kept")
check(material.get("palettra_name") == "Studio Seafoam", "the name is kept")
check(material.get("palettra_collection") == "Orva Interior", "the collection is kept")
check(material.get("palettra_hex") == chip["hex"], "the hex value is kept")

result = bpy.ops.palettra.pick_object_colour()
check(result == {"FINISHED"}, "the object pick finished")
check(close(tuple(cube.color), expected), "the object colour is the chip's")
check(cube.get("palettra_code") == "OT 1042", "the object keeps the code")

# An object without a material gets one.
bpy.ops.mesh.primitive_uv_sphere_add()
sphere = bpy.context.active_object
check(sphere.active_material is None, "the new sphere has no material")
bpy.ops.palettra.pick_material_colour()
check(sphere.active_material is not None and sphere.active_material.get("palettra_code") == "OT 1042",
      "a material is made for an object without one")

# A cancelled pick (status 1) changes nothing.
bpy.context.view_layer.objects.active = cube
before = (tuple(base), material.name, tuple(cube.color))
prefs.program = shutil.which("false")
result = bpy.ops.palettra.pick_material_colour()
check(result == {"CANCELLED"}, "a cancel is cancelled")
check((tuple(base), material.name, tuple(cube.color)) == before, "a cancel changes nothing")

# A missing program is an error report, and changes nothing.
prefs.program = "/nonexistent/palettra"
reported = False
try:
    result = bpy.ops.palettra.pick_material_colour()
except RuntimeError as error:
    reported = "not found" in str(error)
check(reported, "a missing program is reported as an error")
check((tuple(base), material.name, tuple(cube.color)) == before, "a missing program changes nothing")

# --- What happens while a picker is open, and pickers that misbehave ----------------------
import stat
import tempfile
import time

addon = sys.modules["palettra_blender"]
scripts = tempfile.mkdtemp()


def fake_picker(name, body):
    """A stand-in for the picker: a shell script."""
    path = os.path.join(scripts, name)
    with open(path, "w") as script:
        script.write("#!/bin/sh\n" + body + "\n")
    os.chmod(path, os.stat(path).st_mode | stat.S_IEXEC)
    return path


chip_line = json.dumps(chip)
# Far more on standard error than a pipe holds, then the pick: it still ends, polled as
# an interactive Blender polls it.
flooding = fake_picker("flooding", "head -c 300000 /dev/zero | tr '\\0' x >&2\necho '%s'" % chip_line)
pending = addon.PendingPick.start([flooding], addon.PickTarget(cube, "object"))
deadline = time.time() + 30
while not pending.finished() and time.time() < deadline:
    time.sleep(0.05)
check(pending.finished(), "a picker that floods its standard error ends")
status, out, err = pending.result()
check(status == 0 and len(err) >= 300000 and json.loads(out)["code"] == "OT 1042", "its pick is read whole")

# The colour goes to the object the button was pressed for, whatever is active when the
# picker closes; an object deleted meanwhile gets nothing.
slow = fake_picker("slow", "sleep 0.5\necho '%s'" % chip_line)
cube.color = (0, 0, 0, 1)
pending = addon.PendingPick.start([slow], addon.PickTarget(cube, "object"))
bpy.context.view_layer.objects.active = sphere
pending.wait()
target = pending.target.resolve()
pending.result()
check(target == cube, "the target is the object the pick was started for")
bpy.ops.mesh.primitive_cube_add()
doomed = bpy.context.active_object
doomed_target = addon.PickTarget(doomed, "object")
bpy.data.objects.remove(doomed)
check(doomed_target.resolve() is None, "a deleted target is found gone")

# A name the add-on gave follows the paint; a name the user typed stays.
prefs.program = palettra
os.environ["PALETTRA_PICK_ARGS"] = '--search "OT 1117" --accept'
bpy.context.view_layer.objects.active = cube
bpy.ops.palettra.pick_material_colour()
check(cube.active_material.name.startswith("OT 1117 "), "the paint's name follows it: %s" % cube.active_material.name)
cube.active_material.name = "Kitchen wall"
os.environ["PALETTRA_PICK_ARGS"] = '--search "OT 1042" --accept'
bpy.ops.palettra.pick_material_colour()
check(cube.active_material.name == "Kitchen wall", "a name the user gave stays")
check(cube.active_material.get("palettra_code") == "OT 1042", "the paint changed all the same")

# A camera cannot hold a material: the button is off, and nothing is left behind.
materials = len(bpy.data.materials)
bpy.ops.object.camera_add()
check(not bpy.ops.palettra.pick_material_colour.poll(), "no material pick for a camera")
check(bpy.ops.palettra.pick_object_colour.poll(), "an object colour pick for a camera")
check(len(bpy.data.materials) == materials, "no material is made for a camera")

# One picker at a time; loading another file ends it and drops its pick.
bpy.context.view_layer.objects.active = cube
waiting = fake_picker("waiting", "sleep 60")
addon._pending = addon.PendingPick.start([waiting], addon.PickTarget(cube, "object"))
result = bpy.ops.palettra.pick_object_colour()
check(result == {"CANCELLED"}, "a second picker is not opened")
open_picker = addon._pending
addon.end_pick_before_load()
check(addon._pending is None and open_picker.finished(), "loading a file ends the open picker")

# The picker's own words, once prefixed.
prefs.program = fake_picker("failing", "echo 'palettra: no collection nowhere' >&2\nexit 2")
message = ""
try:
    bpy.ops.palettra.pick_object_colour()
except RuntimeError as error:
    message = str(error)
check("Palettra: no collection nowhere" in message and "palettra: palettra" not in message.lower(),
      "the picker's message, prefixed once: %s" % message)

print("RESULT", "FAILED" if failures else "PASSED", len(failures))
sys.exit(1 if failures else 0)
