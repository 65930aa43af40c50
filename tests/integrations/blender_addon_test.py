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

# One picker at a time: a second press brings the open one to the front (SIGUSR1);
# loading another file ends it and drops its pick.
bpy.context.view_layer.objects.active = cube
raised = os.path.join(scripts, "raised")
waiting = fake_picker("waiting", "trap 'touch %s' USR1\nwhile :; do sleep 0.1; done" % raised)
addon._pending = addon.PendingPick.start([waiting], addon.PickTarget(cube, "object"))
time.sleep(0.5)  # the shell sets its trap first
result = bpy.ops.palettra.pick_object_colour()
check(result == {"CANCELLED"}, "a second picker is not opened")
deadline = time.time() + 10
while not os.path.exists(raised) and time.time() < deadline:
    time.sleep(0.05)
check(os.path.exists(raised), "a second press brings the open picker to the front")
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

# --- What renders changes, or nothing does ---------------------------------------------
import ctypes

libc = ctypes.CDLL(None)


def reported(operator):
    """(result, reports): Blender prints an operator's reports on standard output in
    background mode, and raises errors."""
    capture = tempfile.TemporaryFile()
    sys.stdout.flush()
    libc.fflush(None)
    saved = os.dup(1)
    os.dup2(capture.fileno(), 1)
    try:
        result = operator()
    except RuntimeError as error:
        result = {"ERROR"}
        print(error)
    finally:
        sys.stdout.flush()
        libc.fflush(None)
        os.dup2(saved, 1)
        os.close(saved)
    capture.seek(0)
    return result, capture.read().decode("utf-8", "replace")


prefs.program = palettra
os.environ["PALETTRA_PICK_ARGS"] = '--search "OT 1042" --accept'

# Grease Pencil: the stroke and fill colours, each keeping its opacity; no node tree.
bpy.ops.object.gpencil_add(type="STROKE")
pencil = bpy.context.active_object
style = pencil.active_material.grease_pencil
style.fill_color = (0.2, 0.2, 0.2, 0.5)
stroke_alpha = style.color[3]
result = bpy.ops.palettra.pick_material_colour()
style = pencil.active_material.grease_pencil
check(result == {"FINISHED"}, "a Grease Pencil pick finished")
check(close(tuple(style.color), expected[:3] + (stroke_alpha,)), "the stroke is the chip: %s" % (tuple(style.color),))
check(close(tuple(style.fill_color), expected[:3] + (0.5,)), "the fill is the chip: %s" % (tuple(style.fill_color),))
check(not pencil.active_material.use_nodes, "no node tree is made for a Grease Pencil material")

# A Base Color fed by a texture, and a shader in a node group, render as before: the
# pick is refused with the reason, and nothing changes, not even the name.
bpy.ops.mesh.primitive_cube_add()
textured = bpy.context.active_object
wood = bpy.data.materials.new("Material")
wood.use_nodes = True
textured.data.materials.append(wood)
nodes, links = wood.node_tree.nodes, wood.node_tree.links
principled = nodes["Principled BSDF"]
links.new(nodes.new("ShaderNodeTexImage").outputs["Color"], principled.inputs["Base Color"])
before = (wood.name, tuple(principled.inputs["Base Color"].default_value), tuple(wood.diffuse_color))
result, said = reported(lambda: bpy.ops.palettra.pick_material_colour())
check(result == {"CANCELLED"} and "Base Color" in said and "Image Texture" in said,
      "a texture-fed Base Color is refused with the reason: %s" % said.strip())
check((wood.name, tuple(principled.inputs["Base Color"].default_value), tuple(wood.diffuse_color)) == before
      and "palettra_code" not in wood, "and nothing changed")
group = bpy.data.node_groups.new("Lacquer", "ShaderNodeTree")
group.outputs.new("NodeSocketShader", "Shader")
grouped = nodes.new("ShaderNodeGroup")
grouped.node_tree = group
links.new(grouped.outputs["Shader"], nodes["Material Output"].inputs["Surface"])
result, said = reported(lambda: bpy.ops.palettra.pick_material_colour())
check(result == {"CANCELLED"} and "node group" in said and "Lacquer" in said,
      "a shader in a node group is refused with the reason: %s" % said.strip())
check(wood.name == before[0] and "palettra_code" not in wood, "and nothing changed")

# Blender cuts a long label at 63 bytes: the cut name is still the add-on's, and the next
# paint renames it.
long_chip = dict(chip, names=["Très long nom de couleur pour un mur de cuisine ensoleillé"])
prefs.program = fake_picker("long", "echo '%s'" % json.dumps(long_chip).replace("'", "'\\''"))
bpy.context.view_layer.objects.active = cube
cube.active_material.name = "Material"
bpy.ops.palettra.pick_material_colour()
long_name = cube.active_material.name
check(len(long_name.encode("utf-8")) <= 63 and long_name.startswith("OT 1042 Très long"),
      "the long label is what Blender stores: %s" % long_name)
prefs.program = palettra
os.environ["PALETTRA_PICK_ARGS"] = '--search "OT 1117" --accept'
bpy.ops.palettra.pick_material_colour()
check(cube.active_material.name.startswith("OT 1117 "), "a cut name follows the next paint: %s" % cube.active_material.name)

# The picker's own reason, not "no colour picked".
os.environ["PALETTRA_PICK_ARGS"] = '--search "zzqx nothing" --accept'
result, said = reported(lambda: bpy.ops.palettra.pick_material_colour())
check(result == {"CANCELLED"} and "nothing found for zzqx nothing" in said, "the picker's reason: %s" % said.strip())

# Undo takes a pick back; Edit Mode, whose undo would not, refuses it.
os.environ["PALETTRA_PICK_ARGS"] = '--search "OT 1042" --accept'
material_name = cube.active_material.name
bpy.ops.ed.undo_push(message="Before the pick")  # background Blender starts without undo
bpy.ops.palettra.pick_material_colour("EXEC_DEFAULT", True)  # with its undo step, as from the button
bpy.ops.ed.undo()
cube = bpy.data.objects["Cube"]
check(cube.active_material.name == material_name, "undo takes the pick back: %s" % cube.active_material.name)
bpy.context.view_layer.objects.active = cube
bpy.ops.object.mode_set(mode="EDIT")
check(not bpy.ops.palettra.pick_material_colour.poll() and not bpy.ops.palettra.pick_object_colour.poll(),
      "no pick in Edit Mode")
bpy.ops.object.mode_set(mode="OBJECT")

# Where Blender draws, the operator never waits for the picker, however it is called
# (Repeat Last, the Python console): it returns with the picker still open, polled from a
# timer.
prefs.program = fake_picker("slow", "sleep 30")
addon.may_wait_for_picker = lambda: False
result = bpy.ops.palettra.pick_object_colour()
check(result == {"RUNNING_MODAL"} and addon._pending is not None and not addon._pending.finished(),
      "an interactive pick returns at once, its picker open: %s" % result)
addon.end_pending_pick("the test is over")

print("RESULT", "FAILED" if failures else "PASSED", len(failures))
sys.exit(1 if failures else 0)
