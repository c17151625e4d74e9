#!/usr/bin/env bash
# A sweep spread over a Slurm cluster as a job array: task K of N runs the K-th slice of the
# sweep, and a last job, started once every task has ended well, merges the slices.
#
#   sbatch --array=1-16 tools/sweep-slurm.sh IN.cht OUT.h5 --repeat 10000 --seed 42
#
# Every task sees the same chart and writes OUT.h5.partK beside OUT.h5 (a shared folder). Give
# --seed with --repeat, so that every slice seeds its runs alike. The merged OUT.h5 is, byte for
# byte, the file one `kintra-cli sweep` of the whole would have written.
#SBATCH --job-name=kintra-sweep
#SBATCH --cpus-per-task=4
#SBATCH --output=kintra-sweep-%A_%a.log
set -euo pipefail

chart=$1
out=$2
shift 2
k=${SLURM_ARRAY_TASK_ID:?submit with sbatch --array=1-N}
n=${SLURM_ARRAY_TASK_COUNT:?submit with sbatch --array=1-N}
cli=${KINTRA_CLI:-kintra-cli}

# A task status of 1 means some runs failed; they are recorded in the file, so the slice counts.
status=0
"$cli" sweep "$chart" "$@" --shard "$k/$n" -j "${SLURM_CPUS_PER_TASK:-1}" -o "$out.part$k" || status=$?
[ "$status" -le 1 ] || exit "$status"

if [ "$k" -eq "$n" ]; then
  parts=()
  for i in $(seq 1 "$n"); do parts+=("$out.part$i"); done
  # The merge waits for every task of the array (afterany: also those that found failed runs).
  sbatch --dependency="afterany:${SLURM_ARRAY_JOB_ID}" --job-name=kintra-merge \
    --wrap="$(printf '%q ' "$cli" merge "$out" "${parts[@]}")"
fi
